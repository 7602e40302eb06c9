// A bare Qt dialog, four labels and four buttons: what a first window costs with nothing else.
#include "platform/qt/FirstShownReport.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    uiqt::reportFirstWindowShown();
    QDialog dialog;
    dialog.setWindowTitle("Bare dialog");
    auto* rows = new QVBoxLayout(&dialog);
    for (const char* text : {"First label", "Second label", "Third label", "Fourth label"})
        rows->addWidget(new QLabel(text));
    auto* buttons = new QHBoxLayout;
    for (const char* text : {"&About", "< &Back", "&Next >", "Cancel"})
        buttons->addWidget(new QPushButton(text));
    rows->addLayout(buttons);
    dialog.show();
    return app.exec();
}
