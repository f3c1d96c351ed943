// The memory floor of the toolkit the Qt driver is built on: a Qt Widgets program that
// does nothing of its own shows one 500 x 500 read-only text window, as the transfer's
// main window, and then Qt's own save dialog set up as the driver sets it up, answered at
// once. It prints the peak memory (VmHWM) after each step, to set beside the transfer's
// peak memory (bench/transfer.py runs it on a display of its own).
//
//   qt_floor      needs a display (DISPLAY, or QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

long peak_kib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void report(const char* step) { std::printf("qt_floor: %s %ld KiB\n", step, peak_kib()); }

// Lets the window system and Qt finish what the last step started (mapping, painting).
void settle(QApplication& app, int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    app.processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    report("loaded");
    QApplication app(argc, argv);
    report("application");

    QPlainTextEdit window;
    window.setReadOnly(true);
    window.resize(500, 500);
    window.setPlainText(QStringLiteral("Receiving file BENCH1..."));
    window.show();
    settle(app, 500);
    report("window");

    QFileDialog dialog(&window, QStringLiteral("Salva in"), QDir::currentPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("File TAP (*.tap)")});
    QTimer::singleShot(1000, &dialog, &QDialog::reject);
    dialog.exec();
    settle(app, 200);
    report("save dialog");
    return 0;
}
