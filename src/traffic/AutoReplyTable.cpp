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

namespace {

// The reply faults only the new forms of a reply make: they refuse the row.
// Any other fault keeps the row, whose reply is then refused when sent, as it was.
bool RefusesRow(CompileFault fault) noexcept
{
    switch (fault) {
    case CompileFault::BadCaptureName:
    case CompileFault::DuplicateCaptureName:
    case CompileFault::UnknownCaptureName:
    case CompileFault::CaptureHasNoValue:
    case CompileFault::FaultKeywordPlace:
    case CompileFault::FaultKeywordValue:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TAutoReplyTable::ParseAutoReplyLine(std::string_view line, TAutoReplyLineFault* why)
{
    // The fields are views into the caller's buffer, which may be freed as soon as
    // this returns: none of them may stay behind, whichever way it returns.
    struct ForgetFields {
        std::vector<std::string_view>& fields;
        ~ForgetFields() { fields.clear(); }
    } forget{m_fields};
    const auto refuse = [this, why](TAutoReplyLineFault::Part part, const CompileError& error = {}) {
        if (why) {
            why->Where = part;
            why->Error = error;
            why->Field.clear();
            if (part == TAutoReplyLineFault::Part::CompareData)
                why->Field = AnsiString(m_fields[1]);
            else if (part == TAutoReplyLineFault::Part::Reply)
                why->Field = AnsiString(m_fields[4]);
        }
        return false;
    };
    SplitTabFields(line, m_fields);
    if (m_fields.size() < 2)
        return refuse(TAutoReplyLineFault::Part::Fields);
    const auto type = ParseRowType(m_fields[0]);
    if (!type || (*type != rtLookup && *type != rtDirect))
        return refuse(TAutoReplyLineFault::Part::RowType);
    if (*type == rtDirect && m_fields.size() < 5)
        return refuse(TAutoReplyLineFault::Part::Fields);

    TAutoReplyRow row;
    const std::string compare(m_fields[1]);
    CompileError error;
    const std::int32_t count = CompileCommand(0, compare, m_items, true, error);
    if (count == 0)
        return refuse(TAutoReplyLineFault::Part::CompareData);
    if (count > 0) {
        NormalisePattern(m_items, row.Pattern);
    } else {
        // Refused as it always was, unless it checks or captures: its own reading
        // then says whether it holds, and where it does not.
        auto checked = std::make_shared<TCheckedPattern>();
        error = CompileError();
        if (!checked->Compile(compare, error))
            return refuse(TAutoReplyLineFault::Part::CompareData, error);
        row.Checked = std::move(checked);
    }
    if (*type == rtDirect) {
        error = CompileError();
        row.ReplyCompiled = row.Reply.Compile(std::string(m_fields[4]), 0, row.Captures(), error);
        if (!row.ReplyCompiled && RefusesRow(error.Fault))
            return refuse(TAutoReplyLineFault::Part::Reply, error);
    }

    row.RowType = *type;
    row.CompareData = AnsiString(m_fields[1]);
    if (m_fields.size() > 2)
        row.ReceiveComment = AnsiString(m_fields[2]);
    if (m_fields.size() > 3)
        row.SendComment = AnsiString(m_fields[3]);
    if (*type == rtDirect)
        row.SendData = AnsiString(m_fields[4]);
    row.Dice = TFaultRandom(m_seed, m_rows.size());
    m_rows.push_back(std::move(row));
    if (why)
        *why = TAutoReplyLineFault();
    return true;
}

const TAutoReplyRow* TAutoReplyTable::FindMatchingRow(const std::vector<std::int32_t>& data) const
{
    for (const TAutoReplyRow& row : m_rows) {
        if (!row.Enabled)
            continue;
        if (!row.Checked) {
            if (MatchPattern(data, row.Pattern))
                return &row;
            continue;
        }
        m_bytes.resize(data.size());
        for (std::size_t i = 0; i < data.size(); ++i)
            m_bytes[i] = static_cast<std::uint8_t>(data[i] & 0xFF);
        row.Checked->Match(m_bytes.data(), m_bytes.size(), m_match);
        if (m_match.Outcome == TMatchOutcome::Matched)
            return &row;
    }
    return nullptr;
}

const TAutoReplyRow* TAutoReplyTable::FindMatchingRow(const std::uint8_t* data, std::size_t size) const
{
    for (const TAutoReplyRow& row : m_rows) {
        if (!row.Enabled)
            continue;
        if (!row.Checked) {
            if (MatchPattern(data, size, row.Pattern))
                return &row;
            continue;
        }
        row.Checked->Match(data, size, m_match);
        if (m_match.Outcome == TMatchOutcome::Matched)
            return &row;
    }
    return nullptr;
}

bool TAutoReplyTable::FindMatch(const std::uint8_t* data, std::size_t size, TAutoReplyHit& hit) const
{
    hit.Row = hit.NearRow = nullptr;
    hit.Index = hit.NearIndex = -1;
    TCheckNote near;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const TAutoReplyRow& row = m_rows[i];
        if (!row.Enabled)
            continue;
        if (row.Checked) {
            row.Checked->Match(data, size, hit.Match);
            if (hit.Match.Outcome == TMatchOutcome::CheckFailed && !hit.NearRow) {
                hit.NearRow = &row;
                hit.NearIndex = static_cast<int>(i);
                near = hit.Match.Note;
            }
            if (hit.Match.Outcome != TMatchOutcome::Matched)
                continue;
        } else if (MatchPattern(data, size, row.Pattern)) {
            hit.Match.Outcome = TMatchOutcome::Matched;
            hit.Match.Captures.clear();
            hit.Match.Bytes.clear();
        } else {
            continue;
        }
        hit.Row = &row;
        hit.Index = static_cast<int>(i);
        hit.NearRow = nullptr;
        hit.NearIndex = -1;
        return true;
    }
    hit.Match.Outcome = hit.NearRow ? TMatchOutcome::CheckFailed : TMatchOutcome::NoMatch;
    hit.Match.Captures.clear();
    hit.Match.Bytes.clear();
    hit.Match.Note = near;
    return false;
}

void TAutoReplyTable::SetFaultSeed(std::uint64_t seed)
{
    m_seed = seed;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].Dice = TFaultRandom(seed, i);
}

TAutoReplyAnswer TAutoReplyTable::NextAnswer(int index, const TReplyFaults& faults)
{
    TAutoReplyRow& row = m_rows.at(static_cast<std::size_t>(index));
    TAutoReplyAnswer answer;
    answer.Counter = row.Answers++;
    if (faults.Drop)
        answer.Dropped = row.Dice.Drop(faults.DropPercent);
    return answer;
}

} // namespace vpx
