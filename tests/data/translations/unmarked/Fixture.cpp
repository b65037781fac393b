// A Japanese caption handed to a widget without being marked for translation.
#include <QLabel>
void Fixture(QLabel& label)
{
    label.setText(QStringLiteral("未訳の見出し"));
}
