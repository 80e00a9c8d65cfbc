// What the print server says of one of its queues, asked afresh each time
// (no cached list): whether the server answers, whether the queue still
// exists, whether it is stopped or refuses jobs. Printing asks before a
// document begins and again just before the finished document is handed
// over, so a queue that went away or stopped is reported by name instead of
// the job vanishing into it.
//
// Without libcups in the build every queue reads as ready.
#pragma once

#include <string>

namespace quillet {

struct CupsQueueState {
  bool ServerAnswers = true;
  bool Exists = true;
  bool Stopped = false;
  bool Accepting = true;
  std::string StateText;     // "idle", "printing", "stopped" (empty when unknown)
  std::string Message;       // the queue's own state message, may be empty
  std::string DefaultMedia;  // the queue's default paper, as the server names it
  std::string ServerError;   // the server's words when it could not be asked
};

CupsQueueState ReadCupsQueue(const std::string& queue);

// One sentence naming the printer when it cannot take a job now; empty when
// it can.
std::string CupsQueueTrouble(const std::string& queue);

// After a document was handed to the server on this thread: the server's
// refusal, naming the printer, or empty when it took the job.
std::string CupsSubmissionTrouble(const std::string& queue);

}  // namespace quillet
