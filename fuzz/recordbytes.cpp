#include "recordbytes.h"

#include <pugixml.hpp>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace recordbytes {

namespace {

constexpr int slotCount = 15;

bool parse(const QByteArray &bytes, pugi::xml_document *doc)
{
    return bool(doc->load_buffer(bytes.constData(), size_t(bytes.size())));
}

// A whole number as a writer would put it: digits, an optional minus, no leading zero, in range.
bool plainNumber(const char *text)
{
    const char *digits = text[0] == '-' ? text + 1 : text;
    if (!*digits || (digits[0] == '0' && digits[1]) || (text[0] == '-' && digits[0] == '0'))
        return false;
    for (const char *c = digits; *c; ++c)
        if (*c < '0' || *c > '9')
            return false;
    errno = 0;
    const long long value = std::strtoll(text, nullptr, 10);
    return errno == 0 && value >= INT_MIN && value <= INT_MAX;
}

// A number that was written plainly comes back with the same digits; one that was absent comes
// back as its default.
bool sameNumber(const pugi::xml_attribute &read, const pugi::xml_attribute &saved, const char *absent)
{
    if (!read)
        return std::strcmp(saved.value(), absent) == 0;
    return !plainNumber(read.value()) || std::strcmp(read.value(), saved.value()) == 0;
}

bool sameBytes(const pugi::xml_attribute &read, const pugi::xml_attribute &saved)
{
    return std::strcmp(read.value(), saved.value()) == 0;
}

} // namespace

bool sameConfig(const QByteArray &read, const QByteArray &saved)
{
    pugi::xml_document in, out;
    if (!parse(read, &in) || !parse(saved, &out))
        return false;
    const pugi::xml_node inRoot = in.child("ZuzEraroveConfig");
    const pugi::xml_node outRoot = out.child("ZuzEraroveConfig");
    for (const char *name : {"runState", "signalMode", "protocol"})
        if (!sameNumber(inRoot.attribute(name), outRoot.attribute(name), "0"))
            return false;
    // The last slot of each number is the one the records keep.
    std::vector<pugi::xml_node> inSlots(slotCount), outSlots(slotCount);
    for (const pugi::xml_node slot : inRoot.children("Slot")) {
        const int id = slot.attribute("id").as_int(0);
        if (id >= 1 && id <= slotCount)
            inSlots[size_t(id - 1)] = slot;
    }
    for (const pugi::xml_node slot : outRoot.children("Slot")) {
        const int id = slot.attribute("id").as_int(0);
        if (id >= 1 && id <= slotCount)
            outSlots[size_t(id - 1)] = slot;
    }
    for (size_t i = 0; i < size_t(slotCount); ++i) {
        if (!outSlots[i])
            return false;
        if (!inSlots[i])
            continue;
        if (!sameBytes(inSlots[i].attribute("program"), outSlots[i].attribute("program"))
            || !sameNumber(inSlots[i].attribute("cycleIndex"), outSlots[i].attribute("cycleIndex"), "1"))
            return false;
    }
    return true;
}

bool sameMap(const QByteArray &read, const QByteArray &saved)
{
    pugi::xml_document in, out;
    if (!parse(read, &in) || !parse(saved, &out))
        return false;
    pugi::xml_node outProgram = out.child("ProgramMapping").child("Program");
    for (const pugi::xml_node program : in.child("ProgramMapping").children("Program")) {
        if (!outProgram || !sameBytes(program.attribute("name"), outProgram.attribute("name"))
            || !sameNumber(program.attribute("num"), outProgram.attribute("num"), "0"))
            return false;
        outProgram = outProgram.next_sibling("Program");
    }
    return !outProgram;
}

} // namespace recordbytes
