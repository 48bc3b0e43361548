// How running main windows find each other and talk: a list of peers with
// what each says about itself, commands sent to one peer with a wait for its
// answer, and the handler through which a window answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/geometry.h"

namespace yk {

// The window class every main window reports; other classes are not ours.
inline constexpr std::string_view kMainFormClass = "TMainForm";

// The program's own messages between main windows, with their numbers.
inline constexpr int UM_SETLINE = 0x464;       // wParam: line number, from 1
inline constexpr int UM_SETCOLUMN = 0x465;     // wParam: column offset, or -1
inline constexpr int UM_SETSELLENGTH = 0x466;  // wParam: selection length
inline constexpr int UM_GOTOLINE = 0x467;      // wParam: 0, not read

// What a main window says about itself.
struct TPeerInfo {
  std::string id;         // the bus's address of the window, stable while it runs
  std::string className;  // kMainFormClass for a main window
  std::string title;      // the exact window title (CP932 bytes)
  std::int64_t activated = 0;  // when it was last activated, ms since the epoch
  std::int64_t pid = 0;
  // The document's file as it is on disk now (device and inode; both 0 for
  // none), so that another name of the same file, a symbolic or hard link,
  // finds the window that has it.
  std::uint64_t fileDevice = 0;
  std::uint64_t fileInode = 0;
  bool operator==(const TPeerInfo&) const = default;
};

enum TBusCommandKind {
  bcRestore = 1,  // the system command restore
  bcMinimize,     // the system command minimise
  bcClose,        // the system command close (through the window's close query)
  bcActivate,     // bring the window to the front, with the launcher's token when there is one
  bcGeometry,     // show the window normally with the frame `bounds`
  bcUserMessage,  // one of the UM_ messages with its wParam
};

struct TBusCommand {
  TBusCommandKind kind = bcRestore;
  int message = 0;  // bcUserMessage: UM_SETLINE .. UM_GOTOLINE
  std::int32_t wParam = 0;
  TRect bounds;  // bcGeometry: the frame in screen coordinates
  // bcActivate: the activation token the desktop gave the process the user
  // started (XDG_ACTIVATION_TOKEN or DESKTOP_STARTUP_ID), which lets the
  // window come to the front where the desktop asks for proof that the user
  // wants it; empty when there is none.
  std::string token;

  static TBusCommand System(TBusCommandKind kind) { return {kind, 0, 0, {}, {}}; }
  static TBusCommand User(int message, std::int32_t wParam) { return {bcUserMessage, message, wParam, {}, {}}; }
  static TBusCommand Geometry(const TRect& bounds) { return {bcGeometry, 0, 0, bounds, {}}; }
  static TBusCommand Activate(std::string token) { return {bcActivate, 0, 0, {}, std::move(token)}; }
  bool operator==(const TBusCommand&) const = default;
};

// The receiving side, implemented by the main window; called on its GUI
// thread, one request at a time, in the order a sender sent them.
class TInstanceHandler {
 public:
  virtual ~TInstanceHandler() = default;
  // The window's class, title and activation time (the bus fills in the
  // id and the process).
  virtual TPeerInfo Info() = 0;
  // Acts on a command and returns the message result (0). The sender waits
  // for it, so a command that may ask the user (close) should answer first
  // and act once control is back in the event loop.
  virtual int Handle(const TBusCommand& command) = 0;
};

class TInstanceBus {
 public:
  virtual ~TInstanceBus() = default;
  // Every main window that answers, this one included once it listens,
  // most recently activated first. A peer that does not answer in time is
  // left out; the call never waits much longer than one timeout in all.
  virtual std::vector<TPeerInfo> Peers() = 0;
  // Sends a command to the window with the id and waits for its answer;
  // false when the window is gone, refuses or does not answer in time.
  virtual bool Send(const std::string& id, const TBusCommand& command) = 0;
  // Starts answering other windows through handler; false when this
  // window cannot be reached (it then works alone).
  virtual bool Listen(TInstanceHandler& handler) = 0;
  // This window's id; empty until it listens.
  virtual std::string SelfId() const = 0;
};

}  // namespace yk
