#include "traffic/SendSequence.h"

#include "library/CommandTree.h"

namespace vpx {

SendStep CommandStep(const CommandNode& node, int defaultByteOrder)
{
    const TCommandInfo& info = *node.Info();
    SendStep step;
    step.Text = info.Command;
    step.TextMode = info.Mode != 0;
    step.ByteOrder = info.ByteOrder != -1 ? static_cast<std::uint8_t>(info.ByteOrder & 0xFF)
                                          : static_cast<std::uint8_t>(defaultByteOrder == 1 ? 1 : 0);
    step.Name = node.Name();
    return step;
}

namespace {

void Collect(const CommandNode& node, int defaultByteOrder, std::vector<SendStep>& steps)
{
    if (node.IsCommand()) {
        if (!node.Info()->Command.empty())
            steps.push_back(CommandStep(node, defaultByteOrder));
        return;
    }
    for (int i = 0; i < node.ChildCount(); ++i)
        Collect(*node.Child(i), defaultByteOrder, steps);
}

} // namespace

std::vector<SendStep> GroupSteps(const CommandNode& group, int defaultByteOrder)
{
    std::vector<SendStep> steps;
    Collect(group, defaultByteOrder, steps);
    return steps;
}

} // namespace vpx
