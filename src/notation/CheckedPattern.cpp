#include "notation/CheckedPattern.h"

#include "notation/Crc.h"
#include "notation/NotationModes.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace vpx {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

void AppendHexBytes(std::string& out, std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += ' ';
        out += HexDigits[bytes[i] >> 4];
        out += HexDigits[bytes[i] & 0xF];
    }
}

// The widths a value or a field can have, read at once: every datagram that
// reaches a capture or a field reads one.
[[gnu::always_inline]] inline std::uint64_t ReadValue(const std::uint8_t* bytes, std::size_t width, bool big) noexcept
{
    const bool swap = (std::endian::native == std::endian::big) != big;
    switch (width) {
    case 1:
        return bytes[0];
    case 2: {
        std::uint16_t v;
        std::memcpy(&v, bytes, sizeof v);
        return swap ? __builtin_bswap16(v) : v;
    }
    case 4: {
        std::uint32_t v;
        std::memcpy(&v, bytes, sizeof v);
        return swap ? __builtin_bswap32(v) : v;
    }
    case 8: {
        std::uint64_t v;
        std::memcpy(&v, bytes, sizeof v);
        return swap ? __builtin_bswap64(v) : v;
    }
    default:
        return 0; // a run has no value
    }
}

std::string_view FieldName(const TPatternStep& step) noexcept
{
    switch (step.Range) {
    case TRangeKind::Len:
        return "LEN";
    case TRangeKind::Xor:
        return "XOR";
    case TRangeKind::Add:
        return "ADD";
    case TRangeKind::Crc:
        return step.Crc ? step.Crc->Name : std::string_view("CRC");
    }
    return {};
}

} // namespace

std::string TCheckNote::Text() const
{
    std::string out(Field);
    out += ": ";
    AppendHexBytes(out, std::span(Received).first(Width));
    out += " received, ";
    AppendHexBytes(out, std::span(Expected).first(Width));
    out += " expected";
    return out;
}

std::string CaptureValueText(const TPatternMatch& match, const TCapture& capture)
{
    std::string out;
    char buf[64];
    switch (capture.Type) {
    case TValueType::Byte:
    case TValueType::Run:
        AppendHexBytes(out, match.BytesOf(capture));
        return out;
    case TValueType::F: {
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(capture.Real));
        return std::string(buf, r.ptr);
    }
    case TValueType::D: {
        const auto r = std::to_chars(buf, buf + sizeof buf, capture.Real);
        return std::string(buf, r.ptr);
    }
    default: {
        const auto r = std::to_chars(buf, buf + sizeof buf, capture.Integer);
        return std::string(buf, r.ptr);
    }
    }
}

std::string CaptureText(const TPatternMatch& match)
{
    std::string out;
    for (const TCapture& capture : match.Captures) {
        if (!out.empty())
            out += ' ';
        out += capture.Name;
        out += '=';
        out += CaptureValueText(match, capture);
    }
    return out;
}

bool TCheckedPattern::Compile(const std::string& text, CompileError& error, std::vector<CompileWarning>* warnings)
{
    const bool compiled = detail::CompilePatternSteps(text, m_steps, m_captures, error, warnings);
    Build();
    return compiled;
}

void TCheckedPattern::Build()
{
    m_ops.clear();
    m_literals.clear();
    std::vector<std::size_t> opOfStep(m_steps.size(), 0);
    for (std::size_t s = 0; s < m_steps.size(); ++s) {
        const TPatternStep& step = m_steps[s];
        Op* last = m_ops.empty() ? nullptr : &m_ops.back();
        Op op;
        switch (step.Step) {
        case TPatternStep::Byte:
            if (last && last->kind == Op::Literal) {
                m_literals.push_back(step.Value);
                ++last->width;
                break;
            }
            op.kind = Op::Literal;
            op.width = 1;
            op.literalAt = static_cast<std::uint32_t>(m_literals.size());
            m_literals.push_back(step.Value);
            m_ops.push_back(op);
            break;
        case TPatternStep::AnyByte:
            if (last && last->kind == Op::Skip && last->capture < 0) {
                ++last->width;
                break;
            }
            op.kind = Op::Skip;
            op.width = 1;
            m_ops.push_back(op);
            break;
        case TPatternStep::AnyRun:
            op.kind = Op::Run;
            m_ops.push_back(op);
            break;
        case TPatternStep::Capture: {
            const TCaptureDef& def = m_captures[step.CaptureIndex];
            op.kind = def.Type == TValueType::Run ? Op::Run : Op::Skip;
            op.width = static_cast<std::uint32_t>(ValueWidth(def.Type));
            op.capture = static_cast<std::int32_t>(step.CaptureIndex);
            m_ops.push_back(op);
            break;
        }
        case TPatternStep::Open:
            op.kind = Op::Open;
            m_ops.push_back(op);
            break;
        case TPatternStep::Field:
            op.kind = Op::Field;
            op.width = step.Width;
            op.step = s;
            op.openOp = opOfStep[step.OpenStep];
            if (step.Crc)
                op.crc = FindCrcTable(*step.Crc); // the compiler takes its algorithms from the catalogue
            m_ops.push_back(op);
            break;
        }
        opOfStep[s] = m_ops.size() - 1;
    }
    m_captureOps.clear();
    m_fixedAt.clear();
    m_fixedChecks.clear();
    m_fixedSize = 0;
    bool fixed = true;
    for (std::size_t i = 0; i < m_ops.size(); ++i) {
        if (m_ops[i].capture >= 0)
            m_captureOps.push_back(i);
        if (m_ops[i].kind == Op::Literal || m_ops[i].kind == Op::Field)
            m_fixedChecks.push_back(i);
        fixed = fixed && m_ops[i].kind != Op::Run;
        m_fixedAt.push_back(m_fixedSize);
        m_fixedSize += m_ops[i].width;
    }
    m_fixedAt.push_back(m_fixedSize);
    if (!fixed) {
        m_fixedAt.clear();
        m_fixedSize = NotFixed;
    }
    // Backwards: what each op leaves for the ones after it.
    std::size_t need = 0;
    bool run = false;
    for (std::size_t i = m_ops.size(); i-- > 0;) {
        Op& op = m_ops[i];
        op.minAfter = need;
        op.runAfter = run;
        if (op.kind == Op::Run) {
            run = true;
            if (i + 1 < m_ops.size()) {
                const Op& next = m_ops[i + 1];
                op.longest = next.kind == Op::Field;
                if (next.kind == Op::Literal)
                    op.firstByte = m_literals[next.literalAt];
            }
        } else {
            need += op.width; // an Open adds nothing
        }
    }
}

[[gnu::always_inline]] inline bool TCheckedPattern::FieldHolds(const Op& op, const std::uint8_t* data, const std::size_t* at, std::size_t d,
                                 std::size_t& budget, std::array<std::uint8_t, 4>* expected) const
{
    const TPatternStep& step = m_steps[op.step];
    const std::size_t from = at[op.openOp];
    const std::uint8_t* p = data + from;
    const std::size_t n = d - from;
    std::uint64_t value = 0;
    switch (step.Range) {
    case TRangeKind::Len:
        value = n;
        break;
    case TRangeKind::Xor: {
        std::uint8_t x = 0;
        for (std::size_t k = 0; k < n; ++k)
            x ^= p[k];
        value = x;
        break;
    }
    case TRangeKind::Add: {
        std::uint32_t sum = 0;
        for (std::size_t k = 0; k < n; ++k)
            sum += p[k];
        value = sum;
        break;
    }
    case TRangeKind::Crc:
        value = RunCrcTable(*op.crc, p, n);
        break;
    }
    if (step.Range != TRangeKind::Len)
        budget = budget > n ? budget - n : 0;
    const std::size_t width = step.Width;
    const std::uint64_t mask = (std::uint64_t{1} << (8 * width)) - 1;
    value &= mask;
    if (step.Modifier == TFieldModifier::Complement)
        value = ~value & mask;
    else if (step.Modifier == TFieldModifier::Negate)
        value = (0 - value) & mask;
    if (expected)
        for (std::size_t k = 0; k < width; ++k)
            (*expected)[k] = static_cast<std::uint8_t>(value >> (8 * (step.BigEndian ? width - 1 - k : k)));
    return ReadValue(data + d, width, step.BigEndian) == value;
}

// The search walks the ops left to right; a run that can end in more than one
// place leaves a choice behind, and a step that does not fit goes back to the
// latest choice and takes its next candidate. A run with no other run after it
// has only one end that can work (the rest is of fixed length), so it leaves no
// choice: patterns with one run stay linear.
bool TCheckedPattern::Search(const std::uint8_t* data, std::size_t size, bool checks, TPatternMatch& result,
                             std::size_t& budget) const
{
    const std::size_t n = m_ops.size();
    std::vector<std::size_t>& at = result.m_at;
    std::vector<TPatternMatch::Choice>& choices = result.m_choices;
    at.resize(n + 1);
    choices.clear();
    const auto nextCandidate = [&](const Op& op, std::size_t lo, std::size_t hi) -> std::size_t {
        if (op.firstByte < 0 || lo > hi)
            return lo;
        const void* hit = std::memchr(data + lo, op.firstByte, hi - lo + 1);
        const std::size_t e = hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data) : hi + 1;
        budget -= std::min(budget, (e - lo) / 16);
        return e;
    };

    std::size_t i = 0, d = 0;
    for (;;) {
        if (budget == 0) {
            result.BudgetSpent = true;
            return false;
        }
        --budget;
        bool fits;
        if (i == n) {
            fits = d == size;
            if (fits) {
                at[n] = d;
                return true;
            }
        } else {
            at[i] = d;
            const Op& op = m_ops[i];
            switch (op.kind) {
            case Op::Literal: {
                fits = size - d >= op.width;
                const std::uint8_t* literal = m_literals.data() + op.literalAt;
                for (std::uint32_t k = 0; fits && k < op.width; ++k)
                    fits = data[d + k] == literal[k];
                d += op.width;
                break;
            }
            case Op::Skip:
                fits = size - d >= op.width;
                d += op.width;
                break;
            case Op::Open:
                fits = true;
                break;
            case Op::Field:
                fits = size - d >= op.width && (!checks || FieldHolds(op, data, at.data(), d, budget));
                d += op.width;
                break;
            case Op::Run: {
                fits = size - d >= op.minAfter;
                if (!fits)
                    break;
                const std::size_t hi = size - op.minAfter;
                if (!op.runAfter) {
                    d = hi;
                } else if (op.longest) {
                    if (hi > d)
                        choices.push_back({i, d, hi - 1});
                    d = hi;
                } else {
                    const std::size_t e = nextCandidate(op, d, hi);
                    fits = e <= hi;
                    if (fits && e < hi)
                        choices.push_back({i, e + 1, hi});
                    d = e;
                }
                break;
            }
            }
        }
        if (fits) {
            ++i;
            continue;
        }
        // Back to the latest choice that has a candidate left.
        for (;;) {
            if (choices.empty())
                return false;
            TPatternMatch::Choice& c = choices.back();
            const Op& op = m_ops[c.op];
            const std::size_t opIndex = c.op;
            std::size_t e;
            if (op.longest) {
                e = c.hi;
                if (c.hi == c.lo)
                    choices.pop_back();
                else
                    --c.hi;
            } else {
                e = nextCandidate(op, c.lo, c.hi);
                if (e > c.hi) {
                    choices.pop_back();
                    continue;
                }
                if (e == c.hi)
                    choices.pop_back();
                else
                    c.lo = e + 1;
            }
            i = opIndex + 1;
            d = e;
            break;
        }
    }
}

// Every capture's place and value. Their bytes are copied in one piece, from
// the first capture's start to the last one's end.
// Inlined into Match, as FixedHolds is: on a short datagram the calls cost as much as the work.
[[gnu::always_inline]] inline void TCheckedPattern::Collect(const std::uint8_t* data, const std::size_t* at,
                                                            TPatternMatch& result) const
{
    const std::size_t count = m_captures.size();
    const bool placed = result.m_placed == this && result.Captures.size() == count;
    result.m_placed = nullptr;
    result.Captures.resize(count);
    if (count == 0) {
        result.Bytes.clear();
        return;
    }
    const std::size_t first = at[m_captureOps.front()];
    const std::size_t n = at[m_captureOps.back() + 1] - first;
    if (result.Bytes.size() != n)
        result.Bytes.resize(n);
    std::uint8_t* kept = result.Bytes.data();
    const std::uint8_t* from = data + first;
    if (n >= 4 && n <= 8) { // a number or two: two overlapping words, no call
        std::memcpy(kept, from, 4);
        std::memcpy(kept + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        std::memcpy(kept, from, n);
    }
    // Captures are defined in the order of the text, so capture k is the k-th op that fills one.
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = m_captureOps[k];
        const TCaptureDef& def = m_captures[k];
        TCapture& c = result.Captures[k];
        if (!placed) {
            c.Name = def.Name;
            c.Type = def.Type;
            c.BigEndian = def.BigEndian;
            c.Offset = at[i];
            c.Length = at[i + 1] - at[i];
            c.BytesAt = c.Offset - first;
        }
        const std::uint8_t* p = data + c.Offset;
        const bool big = def.BigEndian;
        std::int64_t integer = 0;
        double real = 0;
        switch (def.Type) {
        case TValueType::Run:
            break;
        case TValueType::Byte:
            integer = p[0];
            break;
        case TValueType::C:
            integer = static_cast<std::int8_t>(p[0]);
            break;
        case TValueType::S:
            integer = static_cast<std::int16_t>(ReadValue(p, 2, big));
            break;
        case TValueType::US:
            integer = static_cast<std::int64_t>(ReadValue(p, 2, big));
            break;
        case TValueType::I:
            integer = static_cast<std::int32_t>(ReadValue(p, 4, big));
            break;
        case TValueType::UI:
            integer = static_cast<std::int64_t>(ReadValue(p, 4, big));
            break;
        case TValueType::F: {
            float f;
            const auto bits = static_cast<std::uint32_t>(ReadValue(p, 4, big));
            std::memcpy(&f, &bits, sizeof f);
            real = f;
            break;
        }
        case TValueType::D: {
            const std::uint64_t bits = ReadValue(p, 8, big);
            std::memcpy(&real, &bits, sizeof real);
            break;
        }
        }
        c.Integer = integer;
        c.Real = real;
    }
    // A pattern without runs puts every capture in the same place each time.
    if (m_fixedSize != NotFixed)
        result.m_placed = this;
}

// A pattern without runs has one place for everything: a datagram of its size
// is checked straight through, without the search's bookkeeping.
[[gnu::always_inline]] inline bool TCheckedPattern::FixedHolds(const std::uint8_t* data, std::size_t& budget) const
{
    for (const std::size_t i : m_fixedChecks) {
        const Op& op = m_ops[i];
        const std::size_t d = m_fixedAt[i];
        if (op.kind == Op::Literal) {
            const std::uint8_t* literal = m_literals.data() + op.literalAt;
            for (std::uint32_t k = 0; k < op.width; ++k)
                if (data[d + k] != literal[k])
                    return false;
        } else if (!FieldHolds(op, data, m_fixedAt.data(), d, budget)) {
            return false;
        }
    }
    return true;
}

void TCheckedPattern::Match(const std::uint8_t* data, std::size_t size, TPatternMatch& result,
                            std::size_t budget) const
{
    result.BudgetSpent = false;
    if (!m_steps.empty()) {
        // The captures are written over the last datagram's, without making them anew.
        const bool fixed = m_fixedSize != NotFixed;
        if (fixed ? size == m_fixedSize && FixedHolds(data, budget) : Search(data, size, true, result, budget)) {
            result.Outcome = TMatchOutcome::Matched;
            result.Note.Field = {};
            result.Note.Width = 0;
            Collect(data, fixed ? m_fixedAt.data() : result.m_at.data(), result);
            return;
        }
    }
    result.Outcome = TMatchOutcome::NoMatch;
    result.Captures.clear();
    result.Bytes.clear();
    result.m_placed = nullptr;
    result.Note.Field = {};
    result.Note.Width = 0;
    if (m_steps.empty() || result.BudgetSpent || (m_fixedSize != NotFixed && size != m_fixedSize))
        return;
    // No split passes its checks. The note is for the first split that would
    // match without them, at the first of its fields that fails.
    if (!Search(data, size, false, result, budget))
        return;
    const std::vector<std::size_t>& at = result.m_at;
    for (std::size_t i = 0; i < m_ops.size(); ++i) {
        const Op& op = m_ops[i];
        if (op.kind != Op::Field)
            continue;
        std::array<std::uint8_t, 4> expected{};
        if (FieldHolds(op, data, at.data(), at[i], budget, &expected))
            continue;
        result.Outcome = TMatchOutcome::CheckFailed;
        result.Note.Field = FieldName(m_steps[op.step]);
        result.Note.Width = static_cast<std::uint8_t>(op.width);
        result.Note.Expected = expected;
        result.Note.Received = {};
        std::memcpy(result.Note.Received.data(), data + at[i], op.width);
        return;
    }
    // Some field fails on this split: had every one held, the checked search,
    // which tries the splits in the same order, would have matched it.
}

bool TCheckedPattern::Matches(const std::uint8_t* data, std::size_t size) const
{
    TPatternMatch result;
    Match(data, size, result);
    return result.Outcome == TMatchOutcome::Matched;
}

} // namespace vpx
