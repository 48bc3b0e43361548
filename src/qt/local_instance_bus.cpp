// The instance bus on local sockets: the folder's safety checks, the
// sending side (blocking, with one deadline per call) and the receiving side
// (driven by the Qt event loop).
#include "qt/local_instance_bus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QtDebug>

#include <sys/socket.h>
#include <sys/stat.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

namespace yk {

namespace {

std::atomic<int> g_next_index{0};

QString NativePath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string ToStd(const QByteArray& b) { return std::string(b.constData(), static_cast<std::size_t>(b.size())); }

int Remaining(const QDeadlineTimer& deadline) {
  return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

// True when the process at the other end of a connected socket runs as
// this user. Where the system cannot tell, the folder's mode alone keeps
// other users out.
bool PeerIsSameUser(qintptr fd) {
#ifdef SO_PEERCRED
  ucred cred{};
  socklen_t length = sizeof cred;
  if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0) return false;
  return cred.uid == ::geteuid();
#else
  (void)fd;
  return true;
#endif
}

// The process of a socket name "<pid>-<n>.sock"; 0 when the name is not
// one of ours.
long PidOfId(std::string_view id) {
  constexpr std::string_view kSuffix = ".sock";
  if (id.size() <= kSuffix.size() || id.substr(id.size() - kSuffix.size()) != kSuffix) return 0;
  id.remove_suffix(kSuffix.size());
  const std::size_t dash = id.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == id.size()) return 0;
  long pid = 0;
  int index = 0;
  const char* end = id.data() + id.size();
  auto a = std::from_chars(id.data(), id.data() + dash, pid);
  auto b = std::from_chars(id.data() + dash + 1, end, index);
  if (a.ec != std::errc() || a.ptr != id.data() + dash || b.ec != std::errc() || b.ptr != end) return 0;
  return pid > 0 && index >= 0 ? pid : 0;
}

bool ProcessGone(long pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// A socket file this user made; anything else in the folder is left alone.
bool IsOwnSocket(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

// One request to a peer and the wait for its answer.
class TExchange {
 public:
  explicit TExchange(std::string path) : path_(std::move(path)) {}

  // Connects, checks who is listening and sends; false when the peer
  // cannot be reached.
  bool Start(const std::string& frame, const QDeadlineTimer& deadline) {
    if (!IsOwnSocket(path_)) return false;
    socket_.connectToServer(NativePath(path_));
    if (!socket_.waitForConnected(Remaining(deadline))) {
      refused_ = socket_.error() == QLocalSocket::ConnectionRefusedError;
      return false;
    }
    if (!PeerIsSameUser(socket_.socketDescriptor())) {
      qWarning("instance bus: %s belongs to another user; not used", path_.c_str());
      return false;
    }
    socket_.write(frame.data(), static_cast<qint64>(frame.size()));
    return socket_.waitForBytesWritten(Remaining(deadline)) || socket_.bytesToWrite() == 0;
  }

  // The answer, or nullopt when none came in time or it was malformed.
  std::optional<TBusMessage> Finish(const QDeadlineTimer& deadline) {
    try {
      for (;;) {
        reader_.Feed(ToStd(socket_.readAll()));
        if (std::optional<TBusMessage> m = reader_.Next()) return m;
        if (socket_.state() != QLocalSocket::ConnectedState) return std::nullopt;
        if (!socket_.waitForReadyRead(Remaining(deadline)) && deadline.hasExpired()) return std::nullopt;
      }
    } catch (const EBusMessageError& e) {
      qWarning("instance bus: dropped an answer from %s: %s", path_.c_str(), e.what());
      return std::nullopt;
    }
  }

  // The socket file exists but nothing listens on it.
  bool Refused() const { return refused_; }

 private:
  std::string path_;
  QLocalSocket socket_;
  TBusFrameReader reader_;
  bool refused_ = false;
};

// The receiving end of one connection: reads frames, answers each request
// in order and drops the connection at the first malformed one or when
// the other side stays silent too long.
class TBusConnection : public QObject {
 public:
  using Responder = std::function<std::optional<TBusMessage>(const TBusMessage&)>;

  TBusConnection(QLocalSocket* socket, int timeoutMs, Responder respond, QObject* parent)
      : QObject(parent), socket_(socket), respond_(std::move(respond)) {
    socket_->setParent(this);
    idle_.setSingleShot(true);
    idle_.setInterval(timeoutMs);
    QObject::connect(&idle_, &QTimer::timeout, this, [this] { Drop("no request in time"); });
    QObject::connect(socket_, &QLocalSocket::readyRead, this, [this] { Read(); });
    QObject::connect(socket_, &QLocalSocket::disconnected, this, [this] { deleteLater(); });
    idle_.start();
  }

 private:
  // A handler that runs an event loop (a question to the user) may let more
  // bytes arrive; they wait in the reader until the request before them is
  // answered, so answers keep the order of the requests.
  void Read() {
    if (dropped_) return;
    reader_.Feed(ToStd(socket_->readAll()));
    if (busy_) return;
    QPointer<TBusConnection> alive(this);
    busy_ = true;
    while (alive && !dropped_ && AnswerNext()) {
    }
    if (alive) busy_ = false;
  }

  // Answers the next whole request; false when there is none yet or the
  // connection was dropped.
  bool AnswerNext() {
    QPointer<TBusConnection> alive(this);
    std::string reply;
    try {
      std::optional<TBusMessage> request = reader_.Next();
      if (!request) return false;
      std::optional<TBusMessage> answer = respond_(*request);
      if (!alive || dropped_) return false;  // the peer left while the window worked
      if (!answer) {
        Drop("not a request");
        return false;
      }
      reply = EncodeBusMessage(*answer);
    } catch (const std::exception& e) {
      if (alive) Drop(e.what());
      return false;
    }
    socket_->write(reply.data(), static_cast<qint64>(reply.size()));
    idle_.start();
    return true;
  }

  void Drop(const std::string& reason) {
    if (dropped_) return;
    dropped_ = true;
    qWarning("instance bus: dropped a connection: %s", reason.c_str());
    idle_.stop();
    socket_->flush();  // answers to the good requests before the bad one
    socket_->abort();
    deleteLater();
  }

  QLocalSocket* socket_;
  Responder respond_;
  TBusFrameReader reader_;
  QTimer idle_;
  bool dropped_ = false;
  bool busy_ = false;
};

}  // namespace

std::string DefaultBusFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') return std::string(runtime) + "/yomikaki";
  std::error_code ec;
  std::string temp = std::filesystem::temp_directory_path(ec).string();
  if (ec || temp.empty()) temp = "/tmp";
  return temp + "/yomikaki-" + std::to_string(::geteuid());
}

std::string PrepareBusFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    return "cannot create " + path + ": " + std::strerror(errno);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "cannot examine " + path + ": " + std::strerror(errno);
  if (S_ISLNK(st.st_mode)) return path + " is a symbolic link";
  if (!S_ISDIR(st.st_mode)) return path + " is not a folder";
  if (st.st_uid != ::geteuid()) return path + " belongs to another user";
  if ((st.st_mode & 077) != 0) return path + " is open to other users";
  return {};
}

TLocalInstanceBus::TLocalInstanceBus(std::string folder, int timeoutMs)
    : folder_(folder.empty() ? DefaultBusFolder() : std::move(folder)), timeout_ms_(timeoutMs) {
  error_ = PrepareBusFolder(folder_);
  if (!error_.empty()) qWarning("instance bus: %s; this window works alone", error_.c_str());
}

TLocalInstanceBus::~TLocalInstanceBus() = default;

std::vector<std::string> TLocalInstanceBus::SocketIds() const {
  std::vector<std::string> ids;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    std::string name = entry.path().filename().string();
    if (PidOfId(name) != 0) ids.push_back(std::move(name));
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::vector<TPeerInfo> TLocalInstanceBus::Peers() {
  std::vector<TPeerInfo> peers;
  if (!error_.empty()) return peers;
  if (handler_) {
    std::optional<TBusMessage> self = Respond({bmInfoRequest, {}, {}, 0});
    peers.push_back(self->info);
  }
  // Every request goes out before any answer is awaited, so the peers work
  // at the same time and one deadline bounds the whole call.
  const QDeadlineTimer deadline(timeout_ms_);
  const std::string request = EncodeBusMessage({bmInfoRequest, {}, {}, 0});
  std::vector<std::pair<std::string, std::unique_ptr<TExchange>>> sent;
  for (std::string& id : SocketIds()) {
    if (id == self_) continue;
    auto exchange = std::make_unique<TExchange>(PathOf(id));
    if (exchange->Start(request, deadline)) {
      sent.emplace_back(std::move(id), std::move(exchange));
    } else if (exchange->Refused() && ProcessGone(PidOfId(id))) {
      ::unlink(PathOf(id).c_str());  // left behind by a process that died
    }
  }
  for (auto& [id, exchange] : sent) {
    std::optional<TBusMessage> reply = exchange->Finish(deadline);
    if (!reply || reply->type != bmInfoReply) continue;
    reply->info.id = id;
    peers.push_back(std::move(reply->info));
  }
  std::stable_sort(peers.begin(), peers.end(),
                   [](const TPeerInfo& a, const TPeerInfo& b) { return a.activated > b.activated; });
  return peers;
}

bool TLocalInstanceBus::Send(const std::string& id, const TBusCommand& command) {
  if (!error_.empty() || PidOfId(id) == 0) return false;
  if (handler_ && id == self_) {
    handler_->Handle(command);
    return true;
  }
  std::string frame;
  try {
    frame = EncodeBusMessage({bmCommand, command, {}, 0});
  } catch (const EBusMessageError& e) {
    qWarning("instance bus: not sent: %s", e.what());
    return false;
  }
  const QDeadlineTimer deadline(timeout_ms_);
  TExchange exchange(PathOf(id));
  if (!exchange.Start(frame, deadline)) {
    if (exchange.Refused() && ProcessGone(PidOfId(id))) ::unlink(PathOf(id).c_str());
    return false;
  }
  std::optional<TBusMessage> reply = exchange.Finish(deadline);
  return reply && reply->type == bmCommandReply;
}

bool TLocalInstanceBus::Listen(TInstanceHandler& handler) {
  if (!error_.empty()) return false;
  handler_ = &handler;
  if (server_) return true;
  const std::string id = std::to_string(::getpid()) + "-" + std::to_string(g_next_index++) + ".sock";
  const QString path = NativePath(PathOf(id));
  QLocalServer::removeServer(path);  // left by an earlier process with this id
  auto server = std::make_unique<QLocalServer>();
  if (!server->listen(path)) {
    error_ = "cannot listen on " + PathOf(id) + ": " + server->errorString().toStdString();
    qWarning("instance bus: %s; this window works alone", error_.c_str());
    handler_ = nullptr;
    return false;
  }
  ::chmod(PathOf(id).c_str(), 0600);
  QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this] { Accept(); });
  server_ = std::move(server);
  self_ = id;
  return true;
}

void TLocalInstanceBus::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    if (!PeerIsSameUser(socket->socketDescriptor())) {
      qWarning("instance bus: refused a connection from another user");
      socket->abort();
      socket->deleteLater();
      continue;
    }
    new TBusConnection(socket, timeout_ms_, [this](const TBusMessage& m) { return Respond(m); }, server_.get());
  }
}

std::optional<TBusMessage> TLocalInstanceBus::Respond(const TBusMessage& request) {
  if (!handler_) return std::nullopt;
  if (request.type == bmInfoRequest) {
    TBusMessage reply{bmInfoReply, {}, handler_->Info(), 0};
    reply.info.id = self_;
    reply.info.pid = ::getpid();
    return reply;
  }
  if (request.type == bmCommand) return TBusMessage{bmCommandReply, {}, {}, handler_->Handle(request.command)};
  return std::nullopt;
}

}  // namespace yk
