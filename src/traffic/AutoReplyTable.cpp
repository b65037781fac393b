#include "traffic/AutoReplyTable.h"

#include "notation/Notation.h"

namespace vpx {

void SplitTabFields(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    if (line.empty())
        return;
    // A tab is never a trail byte of code page 932, so a byte scan is safe here.
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::vector<std::string_view> SplitLineViews(std::string_view contents)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const char c = contents[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(contents.substr(start, i - start));
        if (c == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < contents.size())
        lines.push_back(contents.substr(start));
    return lines;
}

std::optional<std::int32_t> ParseRowType(std::string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 0x7FFFFFFFLL + 1)
            return std::nullopt; // out of range; no row type anyway
    }
    value = negative ? -value : value;
    if (value > 0x7FFFFFFFLL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool TAutoReplyTable::ParseAutoReplyLine(std::string_view line, TAutoReplyLineFault* fault)
{
    if (fault)
        *fault = TAutoReplyLineFault{};
    // The fields are views into the caller's buffer, which may be freed as soon as
    // this returns: none of them may stay behind, whichever way it returns.
    struct ForgetFields {
        std::vector<std::string_view>& fields;
        ~ForgetFields() { fields.clear(); }
    } forget{m_fields};
    SplitTabFields(line, m_fields);
    if (m_fields.size() < 2)
        return false;
    const auto type = ParseRowType(m_fields[0]);
    if (!type || (*type != rtLookup && *type != rtDirect))
        return false;
    if (*type == rtDirect && m_fields.size() < 5)
        return false;
    CompileError error;
    const std::int32_t count = CompileCommand(0, std::string(m_fields[1]), m_items, true, error);
    if (count < 0 && fault)
        *fault = TAutoReplyLineFault{true, AnsiString(m_fields[1]), error};
    if (count < 1)
        return false;

    TAutoReplyRow row;
    row.RowType = *type;
    NormalisePattern(m_items, row.Pattern);
    row.CompareData = AnsiString(m_fields[1]);
    if (m_fields.size() > 2)
        row.ReceiveComment = AnsiString(m_fields[2]);
    if (m_fields.size() > 3)
        row.SendComment = AnsiString(m_fields[3]);
    if (*type == rtDirect)
        row.SendData = AnsiString(m_fields[4]);
    m_rows.push_back(std::move(row));
    return true;
}

const TAutoReplyRow* TAutoReplyTable::FindMatchingRow(const std::vector<std::int32_t>& data) const noexcept
{
    for (const TAutoReplyRow& row : m_rows) {
        if (row.Enabled && MatchPattern(data, row.Pattern))
            return &row;
    }
    return nullptr;
}

const TAutoReplyRow* TAutoReplyTable::FindMatchingRow(const std::uint8_t* data, std::size_t size) const noexcept
{
    for (const TAutoReplyRow& row : m_rows) {
        if (row.Enabled && MatchPattern(data, size, row.Pattern))
            return &row;
    }
    return nullptr;
}

} // namespace vpx
