// The courier on Windows: one thread of its own, started with the first job, that runs the
// jobs in order. The user-interface thread only queues them, so a send that waits on a hung
// chat client never holds up a click; ending the program simply abandons a job in hand.
#include <windows.h>
// after <windows.h>
#include <process.h>

#include <exception>

#include "host/courier.h"
#include "host/runtime.h"
#include "host/win32/support.h"

namespace host {
namespace {

using win32::CriticalSection;
using win32::UniqueHandle;

class Courier {
 public:
  Courier()
      : wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        idle_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
  Courier(const Courier&) = delete;
  Courier& operator=(const Courier&) = delete;

  void Hand(Job job) {
    {
      CriticalSection::Lock lock(lock_);
      queue_.Push(std::move(job));
      ::ResetEvent(idle_.get());
      if (!thread_) {
        // Through the C runtime, which the jobs use; a small stack: they only send messages.
        thread_.reset(reinterpret_cast<HANDLE>(_beginthreadex(
            nullptr, 64 * 1024, &Courier::Main, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)));
      }
    }
    ::SetEvent(wake_.get());
  }

  HANDLE Idle() const { return idle_.get(); }

 private:
  static unsigned __stdcall Main(void* self) {
    static_cast<Courier*>(self)->Serve();
    return 0;
  }

  void Serve() {
    for (;;) {
      Job job;
      {
        CriticalSection::Lock lock(lock_);
        if (!queue_.Pop(job)) {
          ::SetEvent(idle_.get());
          job = nullptr;
        }
      }
      if (!job) {
        ::WaitForSingleObject(wake_.get(), INFINITE);
        continue;
      }
      try {
        job();
      } catch (const std::exception&) {
        // An error ends that job only; the next line still goes.
      }
    }
  }

  CriticalSection lock_;
  CourierQueue queue_;
  UniqueHandle wake_;  // auto-reset: a job was handed over
  UniqueHandle idle_;  // manual-reset: nothing waits and nothing is in hand
  UniqueHandle thread_;
};

// Made with the first job and never destroyed: its thread may be inside a send when the
// program ends, and must find the courier whole until the process takes it away.
Courier& TheCourier() {
  static Courier* courier = new Courier;
  return *courier;
}

}  // namespace

void Deliver(Job job) {
  if (job) TheCourier().Hand(std::move(job));
}

bool WaitForDeliveries(double seconds) {
  HANDLE idle = TheCourier().Idle();
  DWORD start = ::GetTickCount();
  for (;;) {
    double left = seconds * 1000.0 - static_cast<double>(::GetTickCount() - start);
    if (left < 0) left = 0;
    DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &idle, static_cast<DWORD>(left), QS_ALLINPUT,
                                               MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;  // time is up (or the wait failed)
    DoEvents();
  }
}

}  // namespace host
