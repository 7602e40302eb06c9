#include "platform/qt/QtDialogs.h"

#include "platform/qt/FileFilter.h"
#include "platform/qt/QtHost.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace uiqt {

int QtMessageBoxes::show(const ui::MessageBoxRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(toDisplayLines(request.text)));
    static constexpr std::pair<int, QMessageBox::Icon> kIcons[] = {
        {ui::mb::Critical, QMessageBox::Critical},
        {ui::mb::Question, QMessageBox::Question},
        {ui::mb::Exclamation, QMessageBox::Warning},
        {ui::mb::Information, QMessageBox::Information}};
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    for (const auto& [flag, shown] : kIcons)
        if ((request.flags & ui::mb::IconMask) == flag)
            icon = shown;
    box.setIcon(icon);
    const bool yesNo = (request.flags & ui::mb::ButtonMask) == ui::mb::YesNo;
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        const bool second = (request.flags & ui::mb::DefaultMask) == ui::mb::DefaultButton2;
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    box.setWindowModality(Qt::ApplicationModal);
    ModalDialogScope modal;
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!yesNo)
        return ui::mb::Ok;
    return clicked == box.button(QMessageBox::Yes) ? ui::mb::Yes : ui::mb::No;
}

std::optional<std::string> QtFileBrowser::browse(const ui::FileBrowseRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.title),
                       QString::fromStdString(request.initialDir));
    QStringList filters;
    for (const std::string& f : toQtNameFilters(request.filter))
        filters << QString::fromStdString(f);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setAcceptMode(request.forSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.defaultExt.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    dialog.setWindowModality(Qt::ApplicationModal);
    ModalDialogScope modal;
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return QFile::encodeName(chosen.first()).toStdString();
}

} // namespace uiqt
