#pragma once
// Writes a table of embedded resources as C++ source: every blob as a byte array and a
// table that registers itself with the program's resource registry (platform/Resources.h)
// when the program starts. The generators that make a program's embedded pictures and
// texts compile their output through this.
#include <sstream>
#include <string>
#include <vector>

namespace tools {

struct ResourceItem {
    std::string Name, Type, Bytes;
};

inline std::string ResourceTableSource(const std::string& generator, const std::vector<ResourceItem>& items)
{
    std::ostringstream s;
    s << "// Made by " << generator << "; do not edit.\n#include \"platform/Resources.h\"\n\n"
      << "#include <iterator>\n\nnamespace {\n";
    for (size_t i = 0; i < items.size(); ++i) {
        s << "const unsigned char r" << i << "[] = {";
        const std::string& b = items[i].Bytes;
        for (size_t k = 0; k < b.size(); ++k) {
            if (k % 24 == 0)
                s << "\n";
            s << static_cast<unsigned>(static_cast<unsigned char>(b[k])) << ",";
        }
        s << "};\n";
    }
    s << "const EmbeddedResource table[] = {\n";
    for (size_t i = 0; i < items.size(); ++i)
        s << "    {\"" << items[i].Name << "\", \"" << items[i].Type << "\", r" << i << ", sizeof r" << i
          << "},\n";
    s << "};\nconst ResourceTableRegistrar registrar(table, std::size(table));\n} // namespace\n";
    return s.str();
}

} // namespace tools
