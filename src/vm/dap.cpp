// The Debug Adapter Protocol over a Debugger: messages framed by a
// Content-Length header, JSON bodies through nlohmann::json. Every request is
// answered; a malformed or unknown one gets an error response and the session
// goes on.
#include "vm/dap.h"

#include <ostream>
#include <sstream>

#include "vm/errors.h"

#ifdef STACKVM_HAVE_JSON

#include <nlohmann/json.hpp>

#include "vm/command.h"
#include "vm/debug_session.h"
#include "vm/debugger.h"
#include "vm/options.h"

namespace stackvm {

namespace {

using json = nlohmann::json;

constexpr size_t kMaxMessage = 16u << 20;
constexpr int kThread = 1;

// A request the session cannot carry out; its message goes back to the client.
struct RequestError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class DapSession {
 public:
  DapSession(Streams io, const FileReader& reader) : io_(io), reader_(reader) {}

  int serve() {
    while (!done_) {
      std::optional<std::string> body;
      try {
        body = readMessage();
      } catch (const RequestError& e) {
        reject(json::object(), e.what());
        continue;
      }
      if (!body) break;
      json request = json::parse(*body, nullptr, false);
      if (request.is_discarded() || !request.is_object()) {
        reject(json::object(), "malformed JSON message");
        continue;
      }
      dispatch(request);
    }
    return 0;
  }

 private:
  using Handler = void (DapSession::*)(const json& request);

  // Transport.

  // The body of the next message; nothing at the end of the input. A
  // malformed header is reported once its header block has been read.
  std::optional<std::string> readMessage() {
    std::optional<size_t> length;
    std::string problem;
    for (std::string line;;) {
      if (!std::getline(io_.in, line)) return std::nullopt;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) break;
      const std::string key = "Content-Length:";
      if (line.compare(0, key.size(), key) != 0) continue;
      std::string digits = line.substr(key.size());
      digits.erase(0, digits.find_first_not_of(' '));
      if (digits.empty() || digits.size() > 9 ||
          digits.find_first_not_of("0123456789") != std::string::npos) {
        problem = "malformed Content-Length header: " + line;
      } else {
        length = std::stoul(digits);
      }
    }
    if (!problem.empty()) throw RequestError(problem);
    if (!length) throw RequestError("a message without a Content-Length header");
    if (*length > kMaxMessage) throw RequestError("a message longer than 16 MiB");
    std::string body(*length, '\0');
    io_.in.read(body.data(), static_cast<std::streamsize>(*length));
    if (static_cast<size_t>(io_.in.gcount()) != *length) return std::nullopt;
    return body;
  }

  void send(json message) {
    message["seq"] = seq_++;
    const std::string text = message.dump(-1, ' ', false, json::error_handler_t::replace);
    io_.out << "Content-Length: " << text.size() << "\r\n\r\n" << text;
    io_.out.flush();
  }

  void respond(const json& request, json body = json::object()) {
    send({{"type", "response"},
          {"request_seq", request.value("seq", 0)},
          {"success", true},
          {"command", request.value("command", "")},
          {"body", std::move(body)}});
  }

  void reject(const json& request, const std::string& message) {
    int seq = 0;
    std::string command;
    if (request.is_object()) {
      if (request.contains("seq") && request["seq"].is_number_integer()) seq = request["seq"];
      if (request.contains("command") && request["command"].is_string())
        command = request["command"];
    }
    send({{"type", "response"},
          {"request_seq", seq},
          {"success", false},
          {"command", command},
          {"message", printable(message)},
          {"body", {{"error", {{"id", 1}, {"format", printable(message)}}}}}});
  }

  void event(const std::string& name, json body = json::object()) {
    send({{"type", "event"}, {"event", name}, {"body", std::move(body)}});
  }

  void dispatch(const json& request) {
    static const std::map<std::string, Handler> handlers{
        {"initialize", &DapSession::initialize},
        {"launch", &DapSession::launch},
        {"setBreakpoints", &DapSession::setBreakpoints},
        {"setFunctionBreakpoints", &DapSession::setFunctionBreakpoints},
        {"setExceptionBreakpoints", &DapSession::setExceptionBreakpoints},
        {"configurationDone", &DapSession::configurationDone},
        {"threads", &DapSession::threads},
        {"stackTrace", &DapSession::stackTrace},
        {"scopes", &DapSession::scopes},
        {"variables", &DapSession::variables},
        {"evaluate", &DapSession::evaluate},
        {"continue", &DapSession::continueRequest},
        {"next", &DapSession::next},
        {"stepIn", &DapSession::stepIn},
        {"stepOut", &DapSession::stepOut},
        {"stepBack", &DapSession::stepBack},
        {"reverseContinue", &DapSession::reverseContinue},
        {"pause", &DapSession::pause},
        {"disconnect", &DapSession::disconnect},
        {"terminate", &DapSession::disconnect},
    };
    try {
      if (request.value("type", "") != "request" || !request.contains("command") ||
          !request["command"].is_string())
        throw RequestError("not a request: a message needs \"type\": \"request\" and a command");
      auto it = handlers.find(request["command"].get<std::string>());
      if (it == handlers.end())
        throw RequestError("unknown request '" + request["command"].get<std::string>() + "'");
      (this->*(it->second))(request);
    } catch (const json::exception& e) {
      reject(request, std::string("malformed arguments: ") + e.what());
    } catch (const RequestError& e) {
      reject(request, e.what());
    } catch (const DebugError& e) {
      reject(request, e.what());
    } catch (const VmError& e) {
      reject(request, e.what());
    }
  }

  // A whole number from 0 to `high`; anything else is refused by name.
  static uint64_t count(const json& value, const char* name, uint64_t high) {
    if (!value.is_number_unsigned() || value.get<uint64_t>() > high)
      throw RequestError(std::string(name) + " must be a whole number from 0 to " +
                         std::to_string(high));
    return value.get<uint64_t>();
  }

  static const json& arguments(const json& request) {
    static const json empty = json::object();
    if (!request.contains("arguments")) return empty;
    if (!request["arguments"].is_object()) throw RequestError("arguments must be an object");
    return request["arguments"];
  }

  Debugger& debugger() {
    if (!debugger_) throw RequestError("no program: send launch first");
    return *debugger_;
  }

  Debugger& stopped() {
    Debugger& d = debugger();
    if (!d.running()) throw RequestError("the program is not running");
    return d;
  }

  // Lifecycle.

  void initialize(const json& request) {
    respond(request, {{"supportsConfigurationDoneRequest", true},
                      {"supportsFunctionBreakpoints", true},
                      {"supportsConditionalBreakpoints", true},
                      {"supportsStepBack", true},
                      {"supportsEvaluateForHovers", true},
                      {"supportsTerminateRequest", true}});
  }

  void launch(const json& request) {
    const json& args = arguments(request);
    if (debugger_) throw RequestError("a program is launched already");
    std::vector<std::string> line{args.at("program").get<std::string>()};
    if (args.contains("script"))
      line.insert(line.end(), {"--script", args["script"].get<std::string>()});
    if (args.contains("steps"))
      line.insert(line.end(),
                  {"--steps", std::to_string(count(args["steps"], "steps", UINT64_MAX))});
    Options o = parseOptions(line);
    o.run.traceDevices = true;
    std::ostringstream notes;
    LoadedProgram loaded = loadForOptions(o, reader_, notes);
    if (args.contains("stdin")) {
      const std::string path = args["stdin"].get<std::string>();
      std::optional<std::string> text = reader_(path);
      if (!text) throw RequestError(path + ": cannot be read");
      programIn_.str(*text);
    }
    program_ = std::make_unique<Program>(std::move(loaded.program));
    DebugInfo info = loadDebugInfo(*program_, o.base, reader_, notes);
    directory_ = o.directory;
    stopOnEntry_ = args.value("stopOnEntry", false);
    debugger_ = std::make_unique<Debugger>(*program_, std::move(info), std::move(loaded.script),
                                           o.run, Streams{programIn_, programOut_, programErr_});
    if (!o.scriptPath.empty()) debugger_->setScriptName(o.scriptPath);
    respond(request);
    output("console", notes.str());
    event("initialized");
  }

  void configurationDone(const json& request) {
    Debugger& d = debugger();
    respond(request);
    if (stopOnEntry_) {
      d.run(true);
      return stopped("entry", {});
    }
    afterMotion(d.run());
  }

  void disconnect(const json& request) {
    respond(request);
    done_ = true;
  }

  // Breakpoints.

  json placeBreakpoint(const std::string& location, const std::string& condition) {
    try {
      const Breakpoint& b = debugger().addBreakpoint(location, false);
      if (!condition.empty()) debugger().setCondition(b.number, condition);
      auto [file, line] = debugger().position(b.sites[0]);
      return {{"id", b.number}, {"verified", true}, {"line", line}, {"source", source(file)}};
    } catch (const DebugError& e) {
      return {{"verified", false}, {"message", printable(e.what())}};
    }
  }

  void setBreakpoints(const json& request) {
    const json& args = arguments(request);
    const std::string path = args.at("source").at("path").get<std::string>();
    for (int number : bySource_[path]) debugger().deleteBreakpoint(number);
    bySource_[path].clear();
    json placed = json::array();
    for (const json& b : args.value("breakpoints", json::array())) {
      json r = placeBreakpoint(path + ":" + std::to_string(count(b.at("line"), "line", UINT32_MAX)),
                               b.value("condition", ""));
      if (r.contains("id")) bySource_[path].push_back(r["id"]);
      placed.push_back(std::move(r));
    }
    respond(request, {{"breakpoints", placed}});
  }

  void setFunctionBreakpoints(const json& request) {
    const json& args = arguments(request);
    for (int number : functionBreakpoints_) debugger().deleteBreakpoint(number);
    functionBreakpoints_.clear();
    json placed = json::array();
    for (const json& b : args.value("breakpoints", json::array())) {
      json r = placeBreakpoint(b.at("name").get<std::string>(), b.value("condition", ""));
      if (r.contains("id")) functionBreakpoints_.push_back(r["id"]);
      placed.push_back(std::move(r));
    }
    respond(request, {{"breakpoints", placed}});
  }

  void setExceptionBreakpoints(const json& request) {
    respond(request, {{"breakpoints", json::array()}});
  }

  // Running.

  void continueRequest(const json& request) { motion(request, Motion::cont, false); }
  void next(const json& request) { motion(request, Motion::next, false); }
  void stepIn(const json& request) { motion(request, Motion::step, false); }
  void stepOut(const json& request) {
    if (stopped().frames().size() < 2) throw RequestError("stepOut: the outermost frame");
    motion(request, Motion::finish, false);
  }
  void stepBack(const json& request) { motion(request, Motion::next, true); }
  void reverseContinue(const json& request) { motion(request, Motion::cont, true); }

  void motion(const json& request, Motion m, bool back) {
    Debugger& d = stopped();
    if (!back && d.failed()) throw RequestError("the program stopped at a run-time error");
    respond(request,
            m == Motion::cont && !back ? json{{"allThreadsContinued", true}} : json::object());
    afterMotion(back ? d.moveBack(m) : d.move(m));
  }

  // Runs are carried out whole before the next request is read, so there is
  // never a running program to interrupt: pause stops nothing.
  void pause(const json& request) {
    stopped();
    respond(request);
    stopped("pause", {});
  }

  void output(const std::string& category, const std::string& text) {
    if (!text.empty()) event("output", {{"category", category}, {"output", text}});
  }

  void flushOutput() {
    output("stdout", programOut_.str());
    programOut_.str("");
    output("console", programErr_.str());
    programErr_.str("");
  }

  void stopped(const std::string& reason, json extra) {
    refs_.clear();
    extra["reason"] = reason;
    extra["threadId"] = kThread;
    extra["allThreadsStopped"] = true;
    event("stopped", std::move(extra));
  }

  void afterMotion(const StopEvent& e) {
    flushOutput();
    switch (e.kind) {
      case StopKind::finished:
        output("stderr", e.message.empty() ? "" : e.message + "\n");
        event("exited", {{"exitCode", e.status}});
        event("terminated");
        return;
      case StopKind::error:
        return stopped("exception", {{"description", e.message}, {"text", e.message}});
      case StopKind::breakpoint:
        return stopped("breakpoint", {{"hitBreakpointIds", json::array({std::abs(e.number)})}});
      case StopKind::watch:
        return stopped("data breakpoint", {{"description", "Old value = " + e.oldValue +
                                                               ", new value = " + e.newValue}});
      case StopKind::history_end:
        return stopped("step", {{"description", "No more reverse-execution history"}});
      case StopKind::step:
        return stopped("step", {});
    }
  }

  // The stopped program.

  void threads(const json& request) {
    respond(request, {{"threads", json::array({{{"id", kThread}, {"name", "main"}}})}});
  }

  json source(const std::string& file) const {
    const std::string path = file.empty() || file[0] == '/' ? file : directory_ + file;
    return {{"name", printable(file)}, {"path", printable(path)}};
  }

  void stackTrace(const json& request) {
    std::vector<FrameInfo> frames = stopped().frames();
    json list = json::array();
    for (size_t k = 0; k < frames.size(); ++k) {
      auto [file, line] = debugger().position(frames[k].pc);
      list.push_back({{"id", k + 1},
                      {"name", frames[k].function.empty() ? "??" : frames[k].function},
                      {"source", source(file)},
                      {"line", line},
                      {"column", 1}});
    }
    respond(request, {{"stackFrames", list}, {"totalFrames", frames.size()}});
  }

  size_t frameOf(const json& args) {
    const uint64_t id =
        args.contains("frameId") ? count(args["frameId"], "frameId", UINT32_MAX) : 1;
    if (id < 1 || id > stopped().frames().size())
      throw RequestError("no frame " + std::to_string(id));
    return id - 1;
  }

  struct Ref {
    enum Kind { locals, globals, object } kind;
    size_t frame = 0;
    Value value;
  };

  int reference(Ref r) {
    refs_.push_back(std::move(r));
    return static_cast<int>(refs_.size());
  }

  void scopes(const json& request) {
    const size_t frame = frameOf(arguments(request));
    respond(request,
            {{"scopes", json::array({{{"name", "Locals"},
                                      {"variablesReference", reference({Ref::locals, frame, {}})},
                                      {"expensive", false}},
                                     {{"name", "Globals"},
                                      {"variablesReference", reference({Ref::globals, frame, {}})},
                                      {"expensive", false}}})}});
  }

  bool expandable(const Value& v) const {
    return v.address && v.type.known() &&
           (!v.type.dims.empty() || (v.type.isStruct() && v.type.pointers == 0));
  }

  json variable(const std::string& name, const Value& v, const Evaluator& ev, size_t frame) {
    json r{{"name", name}, {"value", printable(formatValue(v, ev))}, {"variablesReference", 0}};
    if (v.type.known()) r["type"] = v.type.text();
    if (expandable(v)) r["variablesReference"] = reference({Ref::object, frame, v});
    return r;
  }

  json children(const Value& v, const Evaluator& ev, size_t frame) {
    json list = json::array();
    if (!v.type.dims.empty()) {
      const TypeInfo element = v.type.element();
      const uint32_t size = ev.info().sizeOf(element);
      for (uint32_t i = 0; i < v.type.dims[0] && i < 1000; ++i) {
        std::string name = "[";
        name.append(std::to_string(i)).append("]");
        list.push_back(variable(name, ev.object(*v.address + i * size, element, size), ev, frame));
      }
      return list;
    }
    if (const StructureInfo* s = ev.info().structure(v.type.tag())) {
      for (const MemberInfo& m : s->members)
        list.push_back(
            variable(m.name, ev.object(*v.address + m.offset, m.type, m.size), ev, frame));
    }
    return list;
  }

  void variables(const json& request) {
    const uint64_t id =
        count(arguments(request).at("variablesReference"), "variablesReference", UINT32_MAX);
    if (id < 1 || static_cast<size_t>(id) > refs_.size())
      throw RequestError("no variables reference " + std::to_string(id));
    const Ref r = refs_[static_cast<size_t>(id) - 1];
    Debugger& d = stopped();
    Evaluator ev = d.evaluator(r.frame);
    json list = json::array();
    if (r.kind == Ref::object) {
      list = children(r.value, ev, r.frame);
    } else {
      const std::string function = d.frames().at(r.frame).function;
      std::vector<const VariableInfo*> vars =
          r.kind == Ref::globals ? d.globals() : d.locals(function, true);
      if (r.kind == Ref::locals) {
        std::vector<const VariableInfo*> more = d.locals(function, false);
        vars.insert(vars.end(), more.begin(), more.end());
      }
      for (const VariableInfo* v : vars) {
        try {
          list.push_back(variable(v->name, ev.variable(*v), ev, r.frame));
        } catch (const DebugError& e) {
          list.push_back(
              {{"name", v->name}, {"value", printable(e.what())}, {"variablesReference", 0}});
        }
      }
    }
    respond(request, {{"variables", list}});
  }

  void evaluate(const json& request) {
    const json& args = arguments(request);
    const size_t frame = frameOf(args);
    Evaluator ev = stopped().evaluator(frame);
    Value v = ev.evaluate(args.at("expression").get<std::string>());
    json r = variable("", v, ev, frame);
    respond(request, {{"result", r["value"]}, {"variablesReference", r["variablesReference"]}});
  }

  Streams io_;
  const FileReader& reader_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<Debugger> debugger_;
  std::istringstream programIn_;
  std::ostringstream programOut_;
  std::ostringstream programErr_;
  std::string directory_;
  bool stopOnEntry_ = false;
  bool done_ = false;
  int seq_ = 1;
  std::map<std::string, std::vector<int>> bySource_;
  std::vector<int> functionBreakpoints_;
  std::vector<Ref> refs_;
};

}  // namespace

int runDapSession(Streams io, const FileReader& reader) {
  return DapSession(io, reader).serve();
}

}  // namespace stackvm

#else

namespace stackvm {

int runDapSession(Streams io, const FileReader&) {
  io.err << "stackvm: --dap is not available: this stackvm was built without nlohmann-json3-dev\n";
  return kUsageStatus;
}

}  // namespace stackvm

#endif
