// The information box (template INFOS): the maker's logo, the program's name and version,
// the maker's notice with the year and three contact lines, closed by Chiudi or Esc.
#pragma once

#include <string>

namespace kelv {

// An empty contact argument shows the maker's own line for it; a given one is shown
// verbatim.
void INFOS(const std::string& cName, const std::string& cVersion, const std::string& cYear,
           const std::string& cAddress = "", const std::string& cPhone = "",
           const std::string& cEmail = "");

// The maker's own contact lines, shown for an empty argument.
inline constexpr const char* kMakerAddress = "Progetto VELKAN, sviluppo in rete";
inline constexpr const char* kMakerPhone = "Telefono: nessun numero pubblico";
inline constexpr const char* kMakerEmail = "Email: velkan@example.org";

}  // namespace kelv
