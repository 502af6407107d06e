// A minimal Qt dialog program with what the main window shows (a menu bar, labels, buttons
// and a progress bar), ended by its first paint: the yardstick of StartupBench.cpp.
#include "FirstPaintProbe.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CFirstPaintProbe probe;
    app.installEventFilter(&probe);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* menuBar = new QMenuBar(&dialog);
    menuBar->addMenu(QStringLiteral("&Bank"))->addAction(QStringLiteral("Load a bank"));
    menuBar->addMenu(QStringLiteral("&Preset"))->addAction(QStringLiteral("Open"));
    layout->setMenuBar(menuBar);
    for (const char* text : {"Total", "Used", "Free", "Midi file"})
        layout->addWidget(new QLabel(QString::fromLatin1(text)));
    auto* progress = new QProgressBar;
    progress->setValue(40);
    layout->addWidget(progress);
    for (const char* text : {"Midi Mapping", "Play", "Stop"})
        layout->addWidget(new QPushButton(QString::fromLatin1(text)));
    dialog.show();
    return app.exec();
}
