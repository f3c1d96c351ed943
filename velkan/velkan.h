// The transfer tool: fetches named files from the device on a serial port and stores
// them together in one TAP image.
//
//   MAIN        settings, the file list, the main window and its log, the port's close
//   AFILES      the file list dialog (ADDFILE, MSGGET ask for one name)
//   APRICOM     opens and sets up the port; arrivals reach CONNECT
//   VELKAN      the transfer: one request per file, the TAP image built block by block
//   SAVE        the save dialog, the overwrite question and the write
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "serial/port.h"
#include "velkan/receive_buffer.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace velkan {

using FileList = std::vector<std::string>;  // names of exactly 10 bytes

void MAIN();

// The file list when the user pressed "Start" (possibly empty); nothing otherwise.
std::optional<FileList> AFILES();
void ADDFILE(winlib::Window& oDlg, FileList& files);
bool MSGGET(const std::string& cTitle, const std::string& cPrompt, std::string& xValue,
            const std::string& cPicture = "");

// The port handle, or -1 after telling the user which step failed.
serial::PortHandle APRICOM(winlib::Window& oWnd, const std::string& cPort);
void CONNECT(serial::PortHandle port);
std::string RECEIVESTR(serial::PortHandle port);
bool SENDSTR(serial::PortHandle port, const std::string& bytes);
std::string GETCHAR();
std::string WAITCOMMAND();
std::string WAITCHAR();

void VELKAN(serial::PortHandle port, winlib::TMultiGet& oLog, const FileList& files);

void MESSAGE(winlib::TMultiGet& oLog, const std::string& line);
void SAVE();

// The module's two byte strings, alive for the whole run.
ReceiveBuffer& receive_buffer();
std::string& tap_image();

}  // namespace velkan
