#include "platform/qt/QtDialogs.h"
#include "platform/qt/FileFilter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

namespace mb = ui::mb;

struct BoxCase {
    int flags;
    QMessageBox::Icon icon;
    bool yesNo;
    QMessageBox::StandardButton preselected;
    QMessageBox::StandardButton press; // NoButton: Escape
    int result;
};

class QtMessageBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(QtMessageBoxTest, IconButtonsDefaultAndAnswer) {
    const BoxCase& c = GetParam();
    struct Seen {
        bool open = false;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton preselected = QMessageBox::NoButton;
        QString title, text;
    } seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.open = true;
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.preselected = box->standardButton(box->defaultButton());
        seen.title = box->windowTitle();
        seen.text = box->text();
        if (c.press == QMessageBox::NoButton)
            box->reject(); // Escape
        else
            box->button(c.press)->click();
    });
    uiqt::QtMessageBoxes boxes;
    int result = boxes.show({"Line one\r\nLine two", c.flags, "Caution Exiting Wizard"});
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, c.yesNo ? (QMessageBox::Yes | QMessageBox::No)
                                    : QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.preselected, c.preselected);
    EXPECT_EQ(seen.title, "Caution Exiting Wizard");
    EXPECT_EQ(seen.text, "Line one\nLine two");
    EXPECT_EQ(result, c.result);
}

// The boxes the wizards show: notices, errors, questions with either button preselected.
INSTANTIATE_TEST_SUITE_P(
    Flags, QtMessageBoxTest,
    testing::Values(BoxCase{mb::OkOnly | mb::Information, QMessageBox::Information, false,
                            QMessageBox::Ok, QMessageBox::Ok, mb::Ok},
                    BoxCase{mb::OkOnly | mb::Critical, QMessageBox::Critical, false,
                            QMessageBox::Ok, QMessageBox::NoButton, mb::Ok},
                    BoxCase{mb::YesNo | mb::Exclamation | mb::DefaultButton2, QMessageBox::Warning,
                            true, QMessageBox::No, QMessageBox::Yes, mb::Yes},
                    BoxCase{mb::YesNo | mb::Exclamation | mb::DefaultButton2, QMessageBox::Warning,
                            true, QMessageBox::No, QMessageBox::No, mb::No},
                    BoxCase{mb::YesNo | mb::Question, QMessageBox::Question, true, QMessageBox::Yes,
                            QMessageBox::Yes, mb::Yes},
                    BoxCase{mb::YesNo | mb::Critical, QMessageBox::Critical, true, QMessageBox::Yes,
                            QMessageBox::NoButton, mb::No},
                    BoxCase{mb::OkOnly, QMessageBox::NoIcon, false, QMessageBox::Ok,
                            QMessageBox::Ok, mb::Ok}),
    [](const testing::TestParamInfo<BoxCase>& info) {
        return "flags" + std::to_string(info.param.flags) + "_answer" +
               std::to_string(info.param.result);
    });

TEST(QtFileBrowserTest, OpenAndSaveDialogsCarryTheRequest) {
    const QString folder = QDir::tempPath();
    for (bool save : {false, true}) {
        ui::FileBrowseRequest request;
        request.title = save ? "Save Wizard Settings" : "Load Wizard Settings";
        request.filter = "Kestrel Settings (*.ksf)|*.ksf|All Files (*.*)|*.*";
        request.initialDir = folder.toStdString();
        request.defaultExt = "ksf";
        request.forSave = save;
        request.fileMustExist = !save;
        struct Seen {
            bool open = false;
            QString title;
            QStringList filters;
            QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
            QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
            QString suffix;
        } seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = {true,
                    dialog->windowTitle(),
                    dialog->nameFilters(),
                    dialog->acceptMode(),
                    dialog->fileMode(),
                    dialog->defaultSuffix()};
            if (save) {
                dialog->selectFile(folder + "/settings");
                static_cast<QDialog*>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        uiqt::QtFileBrowser browser;
        std::optional<std::string> chosen = browser.browse(request);
        ASSERT_TRUE(seen.open);
        EXPECT_EQ(seen.title.toStdString(), request.title);
        EXPECT_EQ(seen.filters, QStringList({"Kestrel Settings (*.ksf)", "All Files (*.*)"}));
        EXPECT_EQ(seen.mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(seen.fileMode, save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        EXPECT_EQ(seen.suffix, "ksf");
        if (save)
            EXPECT_EQ(chosen, (folder + "/settings.ksf").toStdString());
        else
            EXPECT_EQ(chosen, std::nullopt) << "cancelled";
    }
}

TEST(QtFileFilter, PairsBecomeQtNameFilters) {
    struct Case {
        const char* filter;
        std::vector<std::string> qt;
    };
    const Case cases[] = {
        {"Kestrel Settings|*.ksf", {"Kestrel Settings (*.ksf)"}},
        {"Settings (*.ksf)|*.ksf|All Files (*.*)|*.*", {"Settings (*.ksf)", "All Files (*.*)"}},
        {"Text|*.txt;*.prn|All|*.*", {"Text (*.txt *.prn)", "All (*.*)"}},
        {"Settings (*.ksf)|*.osp", {"Settings (*.ksf) (*.osp)"}},
        {"Text files|*.txt|", {"Text files (*.txt)"}},
        {"Odd", {"Odd (*)"}},
        {"|*.txt", {"(*.txt)"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uiqt::toQtNameFilters(c.filter), c.qt) << c.filter;
}

} // namespace
