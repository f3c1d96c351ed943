#include "kelv/ui/dialog_check.h"
#include "runtime/frame.h"
#include "runtime/text1252.h"
#include "serial/ui_services.h"
#include "serial/profile.h"
#include "velkan/velkan.h"
#include "velkan/version.h"
#include "winlib/vocabulary.h"

namespace velkan {
namespace {

const std::string kSettingsFile = ".\\VELKAN.INI";
const std::string kSection = "Impostazioni";
const std::string kKey = "Porta";
const std::string kDefaultPort = "COM1";
const std::string kMakerNotice = "\xA9 2026 the VELKAN developers";

std::string port_name() {
    std::string port = serial::GETPVPROFSTRING(kSection, kKey, "", kSettingsFile);
    if (runtime::is_blank(port)) {
        port = kDefaultPort;
        serial::WRITEPPROSTRING(kSection, kKey, port, kSettingsFile);
    }
    return port;
}

}  // namespace

void MAIN() {
    runtime::Frame frame("MAIN");
    std::string log;
    frame.next_line();
    std::string port = port_name();
    frame.next_line();
    std::optional<FileList> files = AFILES();
    if (!files) return;

    std::string title = "VELKAN " + std::string(kVersion) + " " + kMakerNotice;
    auto window = winlib::TDialog::New(title + "  (" + port + ":57600,N,8,1)", 500, 500, 0);
    auto log_control = winlib::TMultiGet::New(*window, 0, 0, &log, true);
    serial::ScopedPort line;  // closed however the window's modal loop ends

    window->bStart = [&] { VELKAN(line.get(), *log_control, *files); };
    window->bInit = [&] {
        window->SetControl(log_control);
        line.hold(APRICOM(*window, port));
        // Holding F4 keeps the window open, also at the transfer's end.
        window->bValid = [] { return !serial::GETASYNCKEYSTATE(winlib::vk::kF4); };
        if (line.get() < 0) window->End();
    };
    frame.next_line();
    window->Activate(true);
}

}  // namespace velkan
