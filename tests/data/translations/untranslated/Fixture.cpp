// A marked caption that the .ts has no English for.
#include <QCoreApplication>
#include <QLabel>
void Fixture(QLabel& label)
{
    label.setText(QCoreApplication::translate("Fixture", "英訳のない見出し"));
}
