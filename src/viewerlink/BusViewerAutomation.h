// The viewer link's automation services on the D-Bus session bus (QtDBus).
//
// A ProgID is a bus name; its object is at "/" + the name with '.' as '/', with an interface of the
// same name (so "Corvantix.Q7Conduit" is /Corvantix/Q7Conduit, interface Corvantix.Q7Conduit).
// Invoke(dispId, args) is the bus method Invoke(i dispid, ai args) -> (i result, ai args).
// Finding a class means: the bus can be reached and the name is owned or activatable. Creating the
// object means: start the service when the name has no owner, bind to the owner's unique name (so
// a viewer that ends is not silently replaced by another), and have the object answer
// introspection with the interface. Every call is a blocking call with a timeout that runs no event
// loop. Needs a QCoreApplication; use from the thread that made it.
#pragma once

#include "viewerlink/ViewerAutomation.h"

#include <memory>
#include <string>

// Long enough for a viewer that is busy drawing; short enough that a hung one does not freeze the
// window for long. Starting a viewer that is not running takes a little longer.
inline constexpr int kBusCallTimeoutMs = 1500;
inline constexpr int kBusActivationTimeoutMs = 2000;

struct BusViewerOptions
{
    std::string busAddress;            // empty: the session bus; otherwise a D-Bus address (tests)
    int timeoutMs = kBusCallTimeoutMs; // bound on each bus call
    int activationTimeoutMs = kBusActivationTimeoutMs; // bound on starting an activatable viewer
};

// The bus services; the connection is opened on first use and closed when the object goes.
std::unique_ptr<IViewerAutomation> CreateBusViewerAutomation(const BusViewerOptions& options = {});

// The object path and interface name a ProgID maps to.
std::string ViewerObjectPath(std::string_view progId);
