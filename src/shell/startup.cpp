#include "shell/startup.h"

#include "config/program_settings.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "shell/node_icons.h"
#include "shell/station_tree.h"
#include "support/gui/edit_txt.h"
#include "support/gui/open_winds.h"
#include "support/gui/pol_msg.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

namespace kiv {

TStartupWindows CreateStartupWindows(const std::string& kivIni, const std::string& workingFolder) {
    TStartupWindows windows;
    windows.main = std::make_unique<TF_Main>(kivIni, workingFolder);
    windows.about = new TFOProgramie(windows.main.get());
    windows.openWinds = &OpenWindows();
    windows.editTxt = new TFEditTxt(windows.main.get());
    return windows;
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kiv"));
    QApplication::setWindowIcon(QIcon(KindPixmap(KindStation)));
    QtMessageSink sink;
    IMessageSink* previous = SetMessageSink(&sink);
    const std::string working = WithTrailingSlash(QDir::currentPath().toStdString());
    int code = 0;
    {
        TStartupWindows windows = CreateStartupWindows(KivIniPath(working), working);
        CentreOnScreen(windows.main.get());
        windows.main->show();
        code = QApplication::exec();
    }
    SetMessageSink(previous);
    return code;
}

} // namespace kiv
