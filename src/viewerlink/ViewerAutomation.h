// The automation services the viewer link talks through, as a platform-free interface. The window
// only sees these two steps (find the viewer's class, create its object) and the object's Invoke;
// the session-bus implementation lives in BusViewerAutomation.h, tests use fakes.
//
// Result codes: kOk, or one of the negative 32-bit codes below. They follow the platform's
// result-code layout (severity bit set, interface facility 0x0004) so that a code shown to the
// user reads like the ones the automation services of other platforms give, and each names one
// cause.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace viewer_codes
{
// The signed code with the same 32 bits as bits: the codes are written as the platform's
// unsigned layout and held as the negative numbers they are.
constexpr std::int32_t FromBits(std::uint32_t bits)
{
    return static_cast<std::int32_t>(bits);
}
} // namespace viewer_codes

// "Unable to Get Tarsine CLSID" causes.
inline constexpr std::int32_t kViewerErrNoBus =
    viewer_codes::FromBits(0x80040201u); // session bus unreachable
inline constexpr std::int32_t kViewerErrUnknownName =
    viewer_codes::FromBits(0x80040202u); // name neither owned nor activatable
inline constexpr std::int32_t kViewerErrBusNoAnswer =
    viewer_codes::FromBits(0x80040203u); // bus daemon did not answer the name query
// "Unable to CoCreateTarsine" causes.
inline constexpr std::int32_t kViewerErrActivation =
    viewer_codes::FromBits(0x80040211u); // bus activation failed or timed out
inline constexpr std::int32_t kViewerErrNoObject =
    viewer_codes::FromBits(0x80040212u); // no object at the path (error reply)
inline constexpr std::int32_t kViewerErrNoAnswer =
    viewer_codes::FromBits(0x80040213u); // introspection not answered in time
inline constexpr std::int32_t kViewerErrNoInterface =
    viewer_codes::FromBits(0x80040214u); // object lacks the viewer interface
// Invoke causes (the link is dropped after any of them).
inline constexpr std::int32_t kViewerErrCallTimeout =
    viewer_codes::FromBits(0x80040221u); // no answer in time
inline constexpr std::int32_t kViewerErrGone =
    viewer_codes::FromBits(0x80040222u); // the viewer has left the bus
inline constexpr std::int32_t kViewerErrCallFailed =
    viewer_codes::FromBits(0x80040223u); // error reply (e.g. unknown dispid)
inline constexpr std::int32_t kViewerErrBadReply =
    viewer_codes::FromBits(0x80040224u); // reply of the wrong shape

// The viewer's automation object once created: a dispatch interface with by-reference int32
// arguments and an int32 result.
class IViewerDispatch
{
public:
    virtual ~IViewerDispatch() = default; // releases the object
    // Calls dispId as a method. args are passed by reference: on kOk they hold the values the viewer
    // left in them, and result holds its result. Returns kOk or a negative code.
    virtual std::int32_t Invoke(std::int32_t dispId, std::span<std::int32_t> args, std::int32_t& result) = 0;
};

// The automation services: look up a ProgID, then create the object in the viewer's process.
class IViewerAutomation
{
public:
    virtual ~IViewerAutomation() = default;
    // kOk when progId names a viewer that runs or can be started; otherwise a "CLSID" code.
    virtual std::int32_t FindViewerClass(std::string_view progId) = 0;
    // Starts or reaches the viewer and hands out its object; kOk, or a "CoCreate" code (viewer
    // left empty).
    virtual std::int32_t CreateViewer(std::string_view progId, std::unique_ptr<IViewerDispatch>& viewer) = 0;
};
