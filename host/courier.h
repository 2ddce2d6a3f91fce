// The courier that carries the program's messages to the chat client: jobs run one at a time,
// in the order they were handed over, away from the user-interface thread, so that a chat
// client that does not answer never holds up a click or a window of this program.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace host {

using Job = std::function<void()>;

// At most this many jobs wait behind the one in hand. The program hands over two lines at
// load and one a minute, and a hung client costs each of them at most its send timeouts, so
// the bound is met only by a client that hangs through many lines in a row.
inline constexpr std::size_t kCourierBacklog = 8;

// Runs the job after every job handed over before it. Returns at once where the host has
// threads; the simulated host runs it at once. An error ends only that job.
void Deliver(Job job);
// Serves the program's events until every job handed over so far has run, or `seconds` have
// passed; true when they all ran. For tools and tests.
bool WaitForDeliveries(double seconds);

// The jobs waiting for the courier, oldest first, never more than kCourierBacklog of them.
// When it is full the oldest waiting job makes room: each chat line carries fresher news
// (the minutes idled) than the one before it.
class CourierQueue {
 public:
  // Adds the job at the end; true when the oldest waiting job was dropped for it.
  bool Push(Job job) {
    bool dropped = false;
    if (jobs_.size() >= kCourierBacklog) {
      jobs_.pop_front();
      ++dropped_;
      dropped = true;
    }
    jobs_.push_back(std::move(job));
    return dropped;
  }
  // Takes the oldest waiting job; false when none waits.
  bool Pop(Job& job) {
    if (jobs_.empty()) return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
  }
  std::size_t Size() const { return jobs_.size(); }
  std::size_t Dropped() const { return dropped_; }

 private:
  std::deque<Job> jobs_;
  std::size_t dropped_ = 0;
};

}  // namespace host
