#include "platform/qt/cups_queue.h"

#if QUILLET_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace quillet {

#if QUILLET_HAVE_CUPS

namespace {

std::string Option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value ? value : "";
}

bool ServerAnswers(std::string& error) {
  http_t* http =
      httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
  if (!http) {
    error = cupsLastErrorString() ? cupsLastErrorString() : "";
    return false;
  }
  httpClose(http);
  return true;
}

}  // namespace

CupsQueueState ReadCupsQueue(const std::string& queue) {
  CupsQueueState state;
  if (!ServerAnswers(state.ServerError)) {
    state.ServerAnswers = false;
    return state;
  }
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) {
    state.Exists = false;
    state.ServerError = cupsLastErrorString() ? cupsLastErrorString() : "";
    return state;
  }
  // IPP printer states: 3 idle, 4 processing, 5 stopped.
  const std::string code = Option(*dest, "printer-state");
  state.Stopped = code == "5";
  state.StateText = code == "3" ? "idle" : code == "4" ? "printing" : code == "5" ? "stopped" : "";
  state.Accepting = Option(*dest, "printer-is-accepting-jobs") != "false";
  state.Message = Option(*dest, "printer-state-message");
  state.DefaultMedia = Option(*dest, "media");
  cupsFreeDests(1, dest);
  return state;
}

std::string CupsSubmissionTrouble(const std::string& queue) {
  if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) return {};
  const char* words = cupsLastErrorString();
  return "The printer \"" + queue +
         "\" did not take the job: " + (words && *words ? words : ippErrorString(cupsLastError()));
}

#else

CupsQueueState ReadCupsQueue(const std::string&) {
  return {};
}
std::string CupsSubmissionTrouble(const std::string&) {
  return {};
}

#endif

std::string CupsQueueTrouble(const std::string& queue) {
  const CupsQueueState s = ReadCupsQueue(queue);
  const std::string name = "The printer \"" + queue + "\"";
  const std::string why = s.Message.empty() ? "" : " (" + s.Message + ")";
  if (!s.ServerAnswers)
    return name + " cannot be reached: its print server is not running" +
           (s.ServerError.empty() ? "" : " (" + s.ServerError + ")");
  if (!s.Exists) return name + " is no longer installed on the print server";
  if (s.Stopped) return name + " is stopped" + why;
  if (!s.Accepting) return name + " is not accepting jobs" + why;
  return {};
}

}  // namespace quillet
