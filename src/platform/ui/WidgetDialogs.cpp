#include "platform/ui/WidgetDialogs.h"

#include "platform/ui/ProgramLocaleFileColumns.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonSpec {
    DlgAnswer answer;
    const char* text;
    QMessageBox::ButtonRole role;
};

QList<ButtonSpec> buttonsFor(DlgButtons buttons) {
    const ButtonSpec ok{DlgAnswer::Ok, "OK", QMessageBox::AcceptRole};
    const ButtonSpec cancel{DlgAnswer::Cancel, "Отмена", QMessageBox::RejectRole};
    const ButtonSpec yes{DlgAnswer::Yes, "Да", QMessageBox::YesRole};
    const ButtonSpec no{DlgAnswer::No, "Нет", QMessageBox::NoRole};
    const ButtonSpec retry{DlgAnswer::Retry, "Повтор", QMessageBox::AcceptRole};
    switch (buttons) {
        case DlgButtons::Ok:
            return {ok};
        case DlgButtons::OkCancel:
            return {ok, cancel};
        case DlgButtons::YesNo:
            return {yes, no};
        case DlgButtons::YesNoCancel:
            return {yes, no, cancel};
        case DlgButtons::RetryCancel:
            return {retry, cancel};
    }
    return {ok};
}

QMessageBox::Icon iconFor(DlgIcon icon) {
    switch (icon) {
        case DlgIcon::Information:
            return QMessageBox::Information;
        case DlgIcon::Warning:
            return QMessageBox::Warning;
        case DlgIcon::Error:
            return QMessageBox::Critical;
        case DlgIcon::Question:
            return QMessageBox::Question;
        case DlgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

DlgAnswer WidgetDialogs::Message(const QString& caption, const QString& text, DlgButtons buttons,
                                 DlgIcon icon) {
    QMessageBox box(iconFor(icon), caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    // Names typed by the operator reach these texts: one that looks like
    // markup ("<b>Корпус</b>") is shown as typed, never rendered.
    box.setTextFormat(Qt::PlainText);
    QList<QPair<QAbstractButton*, DlgAnswer>> made;
    QAbstractButton* escape = nullptr;
    for (const ButtonSpec& def : buttonsFor(buttons)) {
        QPushButton* b = box.addButton(QString::fromUtf8(def.text), def.role);
        made.append({b, def.answer});
        if (def.answer == DlgAnswer::Cancel || def.answer == DlgAnswer::No) escape = b;
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(made.first().first));
    box.setEscapeButton(escape ? escape : made.last().first);
    box.exec();
    for (const auto& [button, answer] : made)
        if (box.clickedButton() == button) return answer;
    return made.size() == 1 ? made.first().second : DlgAnswer::Cancel;
}

// Qt's own pickers, not the desktop's: they speak the program's language
// (Qt's Russian texts) whatever language the desktop is set to.
constexpr QFileDialog::Options kPickerOptions = QFileDialog::DontUseNativeDialog;

QString WidgetDialogs::OpenFile(const QString& caption, const QString& dir, const QString& filter) {
    const std::unique_ptr<QFileDialog> picker = MakePicker(caption, dir, filter);
    picker->setAcceptMode(QFileDialog::AcceptOpen);
    picker->setFileMode(QFileDialog::ExistingFile);
    return chosenPath(*picker);
}

QString WidgetDialogs::SaveFile(const QString& caption, const QString& dir, const QString& filter) {
    const std::unique_ptr<QFileDialog> picker = MakePicker(caption, dir, filter);
    picker->setAcceptMode(QFileDialog::AcceptSave);
    picker->setFileMode(QFileDialog::AnyFile);
    return chosenPath(*picker);
}

QString WidgetDialogs::ChooseFolder(const QString& caption, const QString& dir) {
    const std::unique_ptr<QFileDialog> picker = MakePicker(caption, dir, QString());
    picker->setFileMode(QFileDialog::Directory);
    picker->setOption(QFileDialog::ShowDirsOnly);
    return chosenPath(*picker);
}

std::unique_ptr<QFileDialog> WidgetDialogs::MakePicker(const QString& caption, const QString& dir,
                                                       const QString& filter) {
    auto picker = std::make_unique<QFileDialog>(QApplication::activeWindow(), caption, dir, filter);
    picker->setOptions(kPickerOptions);
    picker->setViewMode(QFileDialog::Detail);
    picker->setProxyModel(new ProgramLocaleFileColumns(picker.get()));
    WidenFileColumns(*picker);
    return picker;
}

QString WidgetDialogs::chosenPath(QFileDialog& picker) {
    if (picker.exec() != QDialog::Accepted) return QString();
    return picker.selectedFiles().value(0);
}
