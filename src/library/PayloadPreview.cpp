#include "library/PayloadPreview.h"

#include "platform/HexText.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace vpx {

namespace {

// Each text is marked with QT_TRANSLATE_NOOP where it is written, so lupdate finds it.
QString Translate(const char* text)
{
    return QCoreApplication::translate("PayloadPreview", text);
}

QString CountSuffix(int count)
{
    return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "… (%1 ﾊﾞｲﾄ)")).arg(count);
}

} // namespace

PayloadPreview DescribeRefusal(const AnsiString& text, const CompileError& error)
{
    PayloadPreview p;
    p.Kind = PayloadPreview::State::Error;
    // Positions count characters as the user sees them, not code page bytes.
    const std::size_t start = std::min(error.Position - 1, text.size());
    const std::size_t end = std::min(start + error.Length, text.size());
    p.ErrorIndex = static_cast<int>(FromAnsi(std::string_view(text).substr(0, start)).size());
    p.ErrorLength = static_cast<int>(FromAnsi(std::string_view(text).substr(start, end - start)).size());
    p.Text = Translate(QT_TRANSLATE_NOOP("PayloadPreview", "%1 文字目: %2")).arg(QString::number(p.ErrorIndex + 1), CompileFaultReason(error.Fault));
    return p;
}

QString CompileFaultReason(CompileFault fault)
{
    switch (fault) {
    case CompileFault::EmptyToken:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "ｶﾝﾏの間が空です"));
    case CompileFault::TextAfterQuote:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "閉じた引用符の後に文字があります"));
    case CompileFault::UnknownKeyword:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "知らないｷｰﾜｰﾄﾞです"));
    case CompileFault::BadNumber:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "数値として読めないか、範囲を超えています"));
    case CompileFault::WildcardNotAllowed:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "ﾜｲﾙﾄﾞｶｰﾄﾞは比較ﾃﾞｰﾀにだけ書けます"));
    case CompileFault::WildcardInRange:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "長さ・XOR・合計・CRCの範囲の中にﾜｲﾙﾄﾞｶｰﾄﾞは書けません"));
    case CompileFault::CrcParenthesis:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "%CRCE の後には (ｱﾙｺﾞﾘｽﾞﾑ名) が要ります"));
    case CompileFault::UnknownCrc:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "知らないCRCｱﾙｺﾞﾘｽﾞﾑ名です"));
    case CompileFault::BadCaptureName:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "名前は英字で始まる英字・数字・_ です（返信では後に +1 か -1 を付けられます）"));
    case CompileFault::DuplicateCaptureName:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "同じ名前を二度取り込んでいます"));
    case CompileFault::UnknownCaptureName:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "比較ﾃﾞｰﾀが取り込まない名前です"));
    case CompileFault::CaptureHasNoValue:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "* で取り込んだﾊﾞｲﾄ列は数値として書けません"));
    case CompileFault::FaultKeywordPlace:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "%DELAY・%DROP・%DUP は返信の先頭に一度ずつ書けます"));
    case CompileFault::FaultKeywordValue:
        return Translate(QT_TRANSLATE_NOOP("PayloadPreview", "%DELAY(ﾐﾘ秒)・%DROP(0～100)・%DUP(1～100) の数値がないか範囲外です"));
    case CompileFault::None:
        break;
    }
    return QString();
}

QString CompileWarningsText(const AnsiString& text, const std::vector<CompileWarning>& warnings)
{
    QStringList sentences;
    for (const CompileWarning& w : warnings) {
        const char* sentence = nullptr;
        switch (w.Kind) {
        case CompileWarningKind::UnterminatedQuote:
            sentence = QT_TRANSLATE_NOOP("PayloadPreview", "%1 文字目の引用符が閉じていないため、そこから後は送りません");
            break;
        case CompileWarningKind::RangeNotOpened:
            sentence = QT_TRANSLATE_NOOP("PayloadPreview", "%1 文字目の範囲の終わりには始まりがなく、何も加えません");
            break;
        case CompileWarningKind::RangeNotClosed:
            sentence = QT_TRANSLATE_NOOP("PayloadPreview", "%1 文字目で始まる範囲は終わりがなく、何も加えません");
            break;
        }
        sentences << Translate(sentence).arg(CharacterPositionOfByte(text, w.Position));
    }
    return sentences.join(QStringLiteral(" / "));
}

PayloadPreview DescribePayload(bool textMode, std::uint8_t byteOrder, const AnsiString& text)
{
    PayloadPreview p;
    if (textMode) {
        p.ByteCount = static_cast<int>(text.size());
        if (p.ByteCount == 0)
            return p;
        p.Kind = PayloadPreview::State::Bytes;
        if (p.ByteCount <= PreviewByteLimit) {
            p.Text = FromAnsi(text);
        } else {
            // Cut on a character: FromAnsi of a lone lead byte would show a stand-in.
            std::size_t cut = 0;
            for (;;) {
                const std::size_t step = IsLeadByte(text[cut]) ? 2 : 1;
                if (cut + step > static_cast<std::size_t>(PreviewByteLimit))
                    break;
                cut += step;
            }
            p.Text = FromAnsi(std::string_view(text).substr(0, cut)) + QLatin1Char(' ') + CountSuffix(p.ByteCount);
        }
        return p;
    }

    std::vector<std::int32_t> items;
    std::vector<CompileWarning> warnings;
    CompileError error;
    const std::int32_t count = CompileCommand(byteOrder, text, items, false, error, &warnings);
    if (count < 0)
        return DescribeRefusal(text, error);
    p.ByteCount = count;
    p.Warning = CompileWarningsText(text, warnings);
    if (count == 0) {
        if (!p.Warning.isEmpty())
            p.Text = Translate(QT_TRANSLATE_NOOP("PayloadPreview", "警告: %1")).arg(p.Warning);
        return p;
    }
    p.Kind = PayloadPreview::State::Bytes;
    std::uint8_t bytes[PreviewByteLimit];
    const auto shown = static_cast<std::size_t>(std::min(count, PreviewByteLimit));
    for (std::size_t i = 0; i < shown; ++i)
        bytes[i] = static_cast<std::uint8_t>(items[i] & 0xFF);
    QString hex = QString::fromLatin1(HexBytes(bytes, shown));
    if (count > PreviewByteLimit)
        hex += QLatin1Char(' ') + CountSuffix(count);
    p.Text = p.Warning.isEmpty() ? hex : Translate(QT_TRANSLATE_NOOP("PayloadPreview", "%1（警告: %2）")).arg(hex, p.Warning);
    return p;
}

} // namespace vpx
