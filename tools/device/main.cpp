// velkan-device: the device side of the transfer protocol, on a pseudo-terminal it creates
// or on a serial port. Per request (0x00 and a 10-byte name) it answers with the reply
// byte, the file's type, length (low byte first), two parameters, data and the closing
// byte; the end byte 0x09 ends the session. Run with --help for the options.
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/device/catalogue.h"
#include "tools/device/line.h"

namespace {

constexpr char kHelp[] = R"(usage: velkan-device (--tap FILE | --folder DIR) [options]

Plays the device of the transfer protocol. Without --port it creates a pseudo-terminal
and prints its path on the first line of standard output: open that path as the port
(e.g. Porta=/dev/pts/5 in VELKAN.INI). It answers each request (0x00 and a 10-byte name)
with: reply byte, type, data length (2 bytes, low first), first and second parameter
(2 bytes each), the data, closing byte. The end byte 0x09 ends the session (exit 0).
Each request is logged on standard error.

What it serves:
  --tap FILE          the files of a TAP image: each header block and its data block is
                      one file, found by its 10-byte name; a name that occurs several
                      times is served in order of occurrence (then from the first again);
                      blocks without a header are skipped with a warning
  --folder DIR        the files of a folder, names padded with blanks to 10 bytes
  --type N            type of the folder's files (default 3)
  --param1 N          first parameter of the folder's files (default 0)
  --param2 N          second parameter of the folder's files (default 0)
  --missing MODE      answer to a name it does not have: silence (default) or empty,
                      a file of length 0
  --reply-byte N      value of the reply byte (default 6)
  --closing-byte N    value of the closing byte (default 4)

The line:
  --port PATH         use this serial port instead of creating a pseudo-terminal
  --link PATH         also make PATH a symbolic link to the terminal (e.g. a Wine
                      prefix's dosdevices/com5); removed at the end
  --fast              send as fast as possible (default: paced at the line rate, 5760
                      bytes per second)

Faults (byte numbers count every byte sent in the session, from 0):
  --pause-before N:MS pause MS milliseconds before sending byte N
  --drop N[,N...]     never send these bytes
  --silent-after N    send nothing more once N bytes have been sent
  --extra HEX         send these bytes (hex, e.g. 55AA) after every closing byte
  --chatter N         send N bytes 0x00 as soon as the line is open, at once, before any
                      request (a chatty device: the bytes wait in the line for the port's
                      open); they count among the bytes sent

  --help              this text
Numbers are decimal, or hexadecimal after 0x.
)";

struct Options {
    std::string tap, folder, port, link;
    std::uint8_t type = 3, reply = 6, closing = 4;
    std::uint16_t param1 = 0, param2 = 0;
    bool missing_empty = false;
    std::string extra;
    std::uint32_t chatter = 0;
    device::Faults faults;
};

bool number(std::string_view s, std::uint64_t& out) {
    int base = 10;
    if (s.substr(0, 2) == "0x" || s.substr(0, 2) == "0X") {
        s.remove_prefix(2);
        base = 16;
    }
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

template <class T>
bool small(std::string_view s, T& out) {
    std::uint64_t v = 0;
    if (!number(s, v) || v > static_cast<std::uint64_t>(T(~T(0)))) return false;
    out = static_cast<T>(v);
    return true;
}

bool hex_bytes(std::string_view s, std::string& out) {
    if (s.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < s.size(); i += 2) {
        std::uint8_t b = 0;
        auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, b, 16);
        if (ec != std::errc() || end != s.data() + i + 2) return false;
        out.push_back(static_cast<char>(b));
    }
    return true;
}

// Parses the command line; an error text on failure, "help" for --help.
std::string parse(int argc, char** argv, Options& o) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") return "help";
        if (a == "--fast") {
            o.faults.paced = false;
            continue;
        }
        if (i + 1 == args.size()) return a + " needs a value";
        const std::string& v = args[++i];
        bool ok = true;
        if (a == "--tap") {
            o.tap = v;
        } else if (a == "--folder") {
            o.folder = v;
        } else if (a == "--port") {
            o.port = v;
        } else if (a == "--link") {
            o.link = v;
        } else if (a == "--type") {
            ok = small(v, o.type);
        } else if (a == "--param1") {
            ok = small(v, o.param1);
        } else if (a == "--param2") {
            ok = small(v, o.param2);
        } else if (a == "--reply-byte") {
            ok = small(v, o.reply);
        } else if (a == "--closing-byte") {
            ok = small(v, o.closing);
        } else if (a == "--missing") {
            ok = v == "silence" || v == "empty";
            o.missing_empty = v == "empty";
        } else if (a == "--extra") {
            ok = hex_bytes(v, o.extra);
        } else if (a == "--chatter") {
            ok = small(v, o.chatter);
        } else if (a == "--silent-after") {
            std::uint64_t n = 0;
            ok = number(v, n);
            o.faults.silent_after = n;
        } else if (a == "--pause-before") {
            std::size_t colon = v.find(':');
            std::uint64_t n = 0;
            ok = colon != std::string::npos && number(v.substr(0, colon), n) &&
                 small(v.substr(colon + 1), o.faults.pause_ms);
            o.faults.pause_before = n;
        } else if (a == "--drop") {
            for (std::size_t at = 0; ok && at <= v.size();) {
                std::size_t comma = std::min(v.find(',', at), v.size());
                std::uint64_t n = 0;
                ok = number(std::string_view(v).substr(at, comma - at), n);
                o.faults.dropped.insert(n);
                at = comma + 1;
            }
        } else {
            return "unknown option " + a;
        }
        if (!ok) return "bad value for " + a + ": " + v;
    }
    if (o.tap.empty() == o.folder.empty()) return "give one of --tap and --folder";
    return "";
}

std::string printable(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string answer(const Options& o, const device::DeviceFile& f) {
    std::string a;
    a.push_back(static_cast<char>(o.reply));
    a.push_back(static_cast<char>(f.type));
    a.push_back(static_cast<char>(f.data.size() & 0xFF));
    a.push_back(static_cast<char>(f.data.size() >> 8));
    a += f.parameters;
    a += f.data;
    a.push_back(static_cast<char>(o.closing));
    return a + o.extra;
}

std::string parameters(const Options& o) {
    return {static_cast<char>(o.param1 & 0xFF), static_cast<char>(o.param1 >> 8),
            static_cast<char>(o.param2 & 0xFF), static_cast<char>(o.param2 >> 8)};
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string problem = parse(argc, argv, o);
    if (problem == "help") {
        std::cout << kHelp;
        return 0;
    }
    if (!problem.empty()) {
        std::cerr << "velkan-device: " << problem << " (see --help)\n";
        return 2;
    }
    device::Catalogue files;
    std::vector<std::string> warnings;
    bool read = false;
    if (!o.tap.empty()) {
        std::ifstream in(o.tap, std::ios::binary);
        std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        read = in.good() || in.eof() ? device::read_tap(image, files, warnings) : false;
        if (!in) warnings.push_back("cannot read " + o.tap);
    } else {
        read = device::read_folder(o.folder, o.type, parameters(o), files, warnings);
    }
    for (const std::string& w : warnings) std::cerr << "velkan-device: warning: " << w << "\n";
    if (!read) return 1;
    std::string error;
    std::optional<device::Line> line = device::Line::open(o.port, error);
    if (!line) {
        std::cerr << "velkan-device: " << error << "\n";
        return 1;
    }
    if (!o.link.empty()) {
        std::remove(o.link.c_str());
        if (symlink(line->path().c_str(), o.link.c_str()) != 0) {
            std::cerr << "velkan-device: cannot link " << o.link << "\n";
            return 1;
        }
    }
    std::cout << line->path() << std::endl;
    std::cerr << "velkan-device: serving " << files.files().size() << " files on " << line->path()
              << "\n";
    if (o.chatter != 0) {
        device::Faults at_once;
        at_once.paced = false;
        line->send(std::string(o.chatter, '\0'), at_once);
    }
    int status = 1;
    while (std::optional<std::uint8_t> b = line->read_byte()) {
        if (*b == 0x09) {
            std::cerr << "velkan-device: end byte, session over\n";
            status = 0;
            break;
        }
        if (*b != 0x00) {
            std::cerr << "velkan-device: unexpected byte 0x" << std::hex << int(*b) << std::dec
                      << " ignored\n";
            continue;
        }
        std::string name;
        while (name.size() < 10) {
            std::optional<std::uint8_t> c = line->read_byte();
            if (!c) break;
            name.push_back(static_cast<char>(*c));
        }
        std::optional<device::DeviceFile> f = files.next(name);
        std::cerr << "velkan-device: request \"" << printable(name) << "\": ";
        if (!f && !o.missing_empty) {
            std::cerr << "not found, no answer\n";
            continue;
        }
        if (!f) {
            std::cerr << "not found, empty file\n";
            f = device::DeviceFile{name, o.type, parameters(o), ""};
        } else {
            std::cerr << "type " << int(f->type) << ", " << f->data.size() << " bytes\n";
        }
        line->send(answer(o, *f), o.faults);
    }
    if (status != 0) std::cerr << "velkan-device: the line is gone\n";
    if (!o.link.empty()) std::remove(o.link.c_str());
    return status;
}
