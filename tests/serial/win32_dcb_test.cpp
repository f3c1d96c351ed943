// The layer's own mode-string parser, which the termios backend uses, against the
// platform's BuildCommDCBA: the same record, byte for byte, or the same refusal. The
// handshake values dtr=hs, rts=hs and rts=tg, which Windows documents, are left out: Wine's
// parser refuses them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "serial/dcb.h"
#include "serial/port.h"

namespace serial {
namespace {

TEST(PlatformDcb, OurParserGivesThePlatformsBytes) {
    const char* definitions[] = {
        "57600,N,8,1",
        "57600,n,8,1,x",
        "57600,N,8,1,p",
        "COM1:9600,e,7,2",
        "96,O,8,1",
        "19,M,5,1.5",
        "1200,s,6,1",
        "115200,N,8,2",
        "baud=57600 parity=N data=8 stop=1",
        "baud=9600 parity=e data=7 stop=2",
        "baud=57600 parity=N data=8 stop=1 xon=on",
        "baud=57600 parity=N data=8 stop=1 octs=on odsr=off dtr=off rts=on",
        "baud=19200 parity=N data=8 stop=1.5 idsr=on dtr=on",
        "baud=57600 parity=N data=8 stop=1 to=on",
        "",
        // refused
        "57600",
        "57600,Q,8,1",
        "57600,N,9,1",
        "57600,N,8,3",
        "57600,N,8,1,z",
        "baud=fast",
        "speed=57600",
        "57600;N;8;1",
    };
    for (const char* definition : definitions) {
        Dcb ours = usual_dcb();
        bool ours_ok = parse_mode_string(definition, ours);
        std::string start = to_bytes(usual_dcb());
        DCB platform{};
        std::memcpy(&platform, start.data(), sizeof platform);
        bool platform_ok = BuildCommDCBA(definition, &platform) != 0;
        EXPECT_EQ(ours_ok, platform_ok) << '"' << definition << '"';
        if (ours_ok && platform_ok) {
            std::string theirs(reinterpret_cast<const char*>(&platform), sizeof platform);
            EXPECT_EQ(to_bytes(ours), theirs) << '"' << definition << '"';
        }
        std::string stored = "old";
        EXPECT_EQ(BUILDCOMMDCB(definition, stored), platform_ok) << '"' << definition << '"';
        EXPECT_EQ(stored, platform_ok ? std::string(reinterpret_cast<const char*>(&platform),
                                                    sizeof platform)
                                      : "")
            << '"' << definition << '"';
    }
}

}  // namespace
}  // namespace serial
