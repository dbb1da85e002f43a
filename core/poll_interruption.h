#pragma once
// PollInterruption: lets whoever runs the poll cut a long one short (a stop
// requested while an agent drags out its address walk). The poll asks before
// each exchange after the first; when it is requested, the poll sends nothing
// more this tick and keeps what it has read so far. Asking must be cheap and
// must not consume the request.
namespace plovex {

class PollInterruption {
 public:
  virtual ~PollInterruption() = default;
  virtual bool Requested() const = 0;
};

}  // namespace plovex
