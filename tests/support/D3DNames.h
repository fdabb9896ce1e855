// Direct3D 8 constants by name, so that the calls the test doubles record read as code does:
// "SetRenderState(D3DRS_LIGHTING, 1)" rather than "SetRenderState(137, 1)".
//
// Values without a name (or of states whose values are plain numbers) print in decimal,
// colours in hex, flag sets as NAME|NAME with any unnamed bits left in hex.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "platform/d3d8/d3d8.h"

namespace quorvel::testing {

// A naming function: the text of one kind of constant, or of a set of flags.
using ConstantName = std::string(DWORD value);

ConstantName renderStateName, stageStateName, formatName, poolName, primitiveName, transformName,
    lightTypeName, deviceTypeName, resourceTypeName;
ConstantName usageFlags, vertexFormatFlags, lockFlags, clearFlags, behaviourFlags;

// A state's value by what the state holds: D3DRS_CULLMODE's D3DCULL_CCW, a colour in hex.
std::string renderStateValue(DWORD state, DWORD value);
std::string stageStateValue(DWORD type, DWORD value);
std::string hex(std::uint64_t value);
std::string pointerText(const void* pointer);

// One argument of a recorded call as it reads: numbers in decimal, pointers in hex (or
// nullptr), constants by the name a naming function gives them.
struct Arg {
    template <class T>
        requires std::integral<T> || std::is_enum_v<T>
    Arg(T v) : text(std::to_string(static_cast<std::int64_t>(v))) {}
    Arg(float v);
    Arg(const void* p) : text(pointerText(p)) {}
    explicit Arg(std::string shown) : text(std::move(shown)) {}

    std::string text;
};

// A value as its naming function shows it, e.g. named(format, formatName).
inline Arg named(DWORD value, ConstantName* name) { return Arg(name(value)); }

// "Method(arg, arg, ...)".
std::string callText(const std::string& method, std::initializer_list<Arg> args);

}  // namespace quorvel::testing
