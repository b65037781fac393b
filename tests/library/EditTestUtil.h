#pragma once

// A command tree in a real view, with the document, the scripted prompts and the
// editor around it, as the main window puts them together.

#include "LibraryTestUtil.h"

#include "library/CommandDocument.h"
#include "library/CommandEditor.h"
#include "library/CommandTreeModel.h"
#include "library/CommandTreeView.h"
#include "support/FakePrompts.h"

#include <QAbstractItemModelTester>

#include <utility>
#include <vector>

namespace vpx::test {

struct EditFixture {
    FakePrompts prompts;
    CommandDocument doc{prompts};
    CommandTree& tree = doc.Tree();
    CommandTreeModel model{tree};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    TCommandTreeView view;
    TCommandEditor editor{doc, view, prompts};
    // Every run of the selection handler: the node and whether cboCommand may be filled.
    std::vector<std::pair<CommandNode*, bool>> changes;

    EditFixture()
    {
        view.SetCommandModel(&model);
        QObject::connect(&view, &TCommandTreeView::tvCommandChange, &view,
                         [this](CommandNode* node, bool fill) { changes.emplace_back(node, fill); });
        doc.SetModified(false);
    }

    QModelIndex Index(const CommandNode* node) const { return model.IndexFromNode(node); }
    void Select(CommandNode* node)
    {
        view.Select(node);
        changes.clear();
    }
};

} // namespace vpx::test
