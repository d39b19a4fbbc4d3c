#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/MessageBox.h"
#include "platform/Messages.h"

namespace platform::widgets {

int ShowMessageBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (style & 0x70) {
        case mb::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case mb::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case mb::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case mb::Information:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    bool secondDefault = (style & 0x300) == mb::DefaultButton2;
    if ((style & 7) == mb::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(secondDefault ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? mb::Yes : mb::No;
    }
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return mb::Ok;
}

}  // namespace platform::widgets
