// The forms' accessible objects against real windows: the main window's parts with their
// names, roles, states and places (tests/hotspots.txt), hit-testing, default actions through
// the click handlers with their change events, the splash as one button, and the keys that
// move the focus the way screen readers hear it.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/forms.h"
#include "hotspots.h"
#include "tests/win/runtime_support.h"
#include "winsupport/owners.h"

namespace {

using runtime_test::Pump;
using winsupport::ComPtr;

VARIANT Child(long id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

ComPtr<IAccessible> ClientObject(const host::Form& form) {
  ComPtr<IAccessible> object;
  HRESULT hr =
      ::AccessibleObjectFromWindow(reinterpret_cast<HWND>(form.Handle()), OBJID_CLIENT,
                                   __uuidof(IAccessible), reinterpret_cast<void**>(object.Put()));
  EXPECT_EQ(hr, S_OK);
  return object;
}

// A text property (name, value, default action); "(null)" when there is none.
std::u16string Property(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                        IAccessible* object, long id) {
  winsupport::Bstr text;
  (object->*get)(Child(id), text.Put());
  if (text.get() == nullptr) return u"(null)";
  return std::u16string(reinterpret_cast<const char16_t*>(text.get()), ::SysStringLen(text.get()));
}
long Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object,
          long id) {
  VARIANT out;
  out.vt = VT_EMPTY;
  (object->*get)(Child(id), &out);
  return out.vt == VT_I4 ? out.lVal : -1;
}

RECT Location(IAccessible* object, long id) {
  long x = 0, y = 0, w = 0, h = 0;
  object->accLocation(&x, &y, &w, &h, Child(id));
  return RECT{x, y, x + w, y + h};
}

long HitTest(IAccessible* object, POINT screen) {
  VARIANT out;
  out.vt = VT_EMPTY;
  object->accHitTest(screen.x, screen.y, &out);
  return out.vt == VT_I4 ? out.lVal : -1;
}

// Message boxes opened by a default action, closed at once by a thread timer that runs in
// the box's own modal loop; their prompts, in order.
std::vector<std::wstring> boxPrompts;
void CALLBACK CloseBoxes(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = ::FindWindowW(L"#32770", nullptr);
  if (box == nullptr || !::IsWindowVisible(box)) return;
  wchar_t text[128] = {};
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(child, cls, 16);
    if (std::wstring(cls) == L"Static" && ::GetWindowTextW(child, text, 128) > 0) break;
  }
  boxPrompts.push_back(text);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

struct Event {
  DWORD event;
  HWND window;
  LONG object;
  LONG child;
};
std::vector<Event> events;
void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                    DWORD) {
  events.push_back({event, window, object, child});
}

class RuntimeAccess : public ::testing::Test {
 protected:
  void TearDown() override { app::DestroyForms(); }
};

TEST_F(RuntimeAccess, MainWindowListsItsSpotsWithNamesRolesStatesAndPlaces) {
  ASSERT_EQ(host::TwipsPerPixelX(), 15.0f) << "the test screen runs at 96 dpi";
  app::Form1& form = app::TheForm1();
  form.Show();
  HWND window = reinterpret_cast<HWND>(form.Handle());
  ::SetFocus(window);
  ComPtr<IAccessible> object = ClientObject(form);
  ASSERT_TRUE(object.get());
  EXPECT_EQ(Property(&IAccessible::get_accName, object.get(), CHILDID_SELF),
            u"Marigold Idle -CorVID");
  EXPECT_EQ(Long(&IAccessible::get_accRole, object.get(), CHILDID_SELF), ROLE_SYSTEM_CLIENT);
  long count = 0;
  EXPECT_EQ(object->get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, 8);

  const std::vector<hotspots::Part> parts = hotspots::Parts();
  ASSERT_EQ(parts.size(), 8u);
  POINT origin = {0, 0};
  ::ClientToScreen(window, &origin);
  for (long id = 1; id <= count; ++id) {
    const hotspots::Part& part = parts[static_cast<std::size_t>(id - 1)];
    SCOPED_TRACE(id);
    EXPECT_EQ(Property(&IAccessible::get_accName, object.get(), id), part.name);
    EXPECT_EQ(Long(&IAccessible::get_accRole, object.get(), id),
              part.button ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(Property(&IAccessible::get_accValue, object.get(), id),
              part.hasValue ? part.value : u"(null)");
    // The buttons take the focus, the first one until a key moves it; read-outs are read-only.
    long focused = id == 1 ? STATE_SYSTEM_FOCUSED : 0;
    EXPECT_EQ(Long(&IAccessible::get_accState, object.get(), id),
              part.button ? STATE_SYSTEM_FOCUSABLE | focused : STATE_SYSTEM_READONLY);
    // Where it lies, in pixels at 96 dpi; its middle hits it.
    RECT at = Location(object.get(), id);
    ::OffsetRect(&at, -origin.x, -origin.y);
    const host::TwipsRect& r = part.rect;
    RECT want = {std::lround(r.left / 15), std::lround(r.top / 15),
                 std::lround((r.left + r.width) / 15), std::lround((r.top + r.height) / 15)};
    EXPECT_TRUE(::EqualRect(&at, &want))
        << at.left << "," << at.top << "," << at.right << "," << at.bottom;
    POINT middle = {origin.x + (want.left + want.right) / 2,
                    origin.y + (want.top + want.bottom) / 2};
    EXPECT_EQ(HitTest(object.get(), middle), id);
  }
  // Where Label7 covers the reason label, the later label wins, as for a press; the title
  // strip is the window itself; beside the window nothing is hit.
  EXPECT_EQ(HitTest(object.get(), {origin.x + 70, origin.y + 40}), 8);
  EXPECT_EQ(HitTest(object.get(), {origin.x + 20, origin.y + 10}), CHILDID_SELF);
  EXPECT_EQ(HitTest(object.get(), {origin.x + 200, origin.y + 10}), -1);
  VARIANT next;
  EXPECT_EQ(object->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &next), S_OK);
  EXPECT_EQ(next.lVal, 1);
  EXPECT_EQ(object->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &next), S_OK);
  EXPECT_EQ(next.lVal, 8);
  EXPECT_EQ(object->accNavigate(NAVDIR_NEXT, Child(8), &next), S_FALSE);
  for (long outside : {-1L, 9L}) {  // no such child: refused, not read past the list
    EXPECT_EQ(object->accNavigate(NAVDIR_NEXT, Child(outside), &next), E_INVALIDARG);
  }

  form.Hide();
  EXPECT_EQ(Long(&IAccessible::get_accState, object.get(), 1),
            STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_FOCUSABLE);
  EXPECT_EQ(object->accDoDefaultAction(Child(1)), E_FAIL) << "a hidden spot cannot be clicked";
  form.Show();
}

TEST_F(RuntimeAccess, DefaultActionsRunTheClickHandlersAndChangesAreAnnounced) {
  app::Form1& form = app::TheForm1();
  form.Show();
  HWND window = reinterpret_cast<HWND>(form.Handle());
  ComPtr<IAccessible> object = ClientObject(form);
  ASSERT_TRUE(object.get());
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                                         Heard, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  UINT_PTR closer = ::SetTimer(nullptr, 0, 50, CloseBoxes);
  boxPrompts.clear();
  events.clear();

  EXPECT_EQ(Property(&IAccessible::get_accDefaultAction, object.get(), 1), u"Press");
  // Start without a reason: the call returns at once, the refusal box follows from the queue.
  EXPECT_EQ(object->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_TRUE(boxPrompts.empty());
  Pump(0.5);
  ASSERT_EQ(boxPrompts.size(), 1u);
  EXPECT_EQ(boxPrompts[0], L"You Need To Enter a Reason for Idling");
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_EQ(object->accDoDefaultAction(Child(6)), DISP_E_MEMBERNOTFOUND);

  // With a reason: idling starts, the indicator's value turns "on", and it is announced.
  form.Label1.SetCaption(u"away");
  EXPECT_EQ(object->accDoDefaultAction(Child(1)), S_OK);
  Pump(0.3);
  EXPECT_EQ(boxPrompts.size(), 1u);
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_EQ(Property(&IAccessible::get_accValue, object.get(), 8), u"on");
  auto heard = [&](DWORD event, LONG child) {
    for (const Event& e : events) {
      if (e.event == event && e.window == window && e.object == OBJID_CLIENT && e.child == child)
        return true;
    }
    return false;
  };
  EXPECT_TRUE(heard(EVENT_OBJECT_VALUECHANGE, 3)) << "the reason";
  EXPECT_TRUE(heard(EVENT_OBJECT_VALUECHANGE, 8)) << "the indicator";
  form.Timer1_Timer();
  Pump(0.1);
  EXPECT_TRUE(heard(EVENT_OBJECT_VALUECHANGE, 6)) << "the minutes";
  EXPECT_EQ(object->accDoDefaultAction(Child(2)), S_OK);  // Stop
  Pump(0.2);
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_EQ(Property(&IAccessible::get_accValue, object.get(), 8), u"off");

  ::KillTimer(nullptr, closer);
  ::UnhookWinEvent(hook);
}

TEST_F(RuntimeAccess, TheSplashIsOneButtonThatOpensTheMainWindow) {
  app::Form3& splash = app::TheForm3();
  splash.Show();
  ComPtr<IAccessible> object = ClientObject(splash);
  ASSERT_TRUE(object.get());
  EXPECT_EQ(Property(&IAccessible::get_accName, object.get(), CHILDID_SELF), u"Open Marigold Idle");
  EXPECT_EQ(Long(&IAccessible::get_accRole, object.get(), CHILDID_SELF), ROLE_SYSTEM_PUSHBUTTON);
  long count = -1;
  object->get_accChildCount(&count);
  EXPECT_EQ(count, 0);
  RECT client;
  ::GetWindowRect(reinterpret_cast<HWND>(splash.Handle()), &client);
  RECT at = Location(object.get(), CHILDID_SELF);
  EXPECT_TRUE(::EqualRect(&at, &client));
  EXPECT_EQ(HitTest(object.get(), {client.left + 5, client.top + 5}), CHILDID_SELF);
  EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
  Pump(0.5);
  EXPECT_FALSE(splash.Visible());
  EXPECT_TRUE(app::TheForm1().Visible());
}

// A child the form does not have is refused, and the place comes back empty rather than
// holding whatever the caller's variables held.
TEST_F(RuntimeAccess, AnUnknownChildHasNoPlace) {
  app::Form1& form = app::TheForm1();
  form.Show();
  ComPtr<IAccessible> object = ClientObject(form);
  ASSERT_TRUE(object.get());
  long x = 7, y = 7, w = 7, h = 7;
  EXPECT_EQ(object->accLocation(&x, &y, &w, &h, Child(9)), E_INVALIDARG);
  EXPECT_EQ(std::vector<long>({x, y, w, h}), std::vector<long>({0, 0, 0, 0}));
}

// Tab, Space and a close request as the window receives them: the focus is drawn on the spot
// it moves to and nowhere else, screen readers hear the move, Space presses the focused spot
// (once, however long it is held), and the strip's own controls take Tab as a dialog's do.
TEST_F(RuntimeAccess, KeysMoveTheDrawnFocusAndPressTheFocusedSpot) {
  app::Form1& form = app::TheForm1();
  form.Show();
  HWND window = reinterpret_cast<HWND>(form.Handle());
  ::SetFocus(window);
  ASSERT_EQ(::GetFocus(), window);
  ComPtr<IAccessible> object = ClientObject(form);
  ASSERT_TRUE(object.get());
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, Heard,
                                         ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  Pump(0.1);
  // The window's focus leaving and coming back: Start, the spot that has it, is told of when
  // it comes back, not when it leaves.
  auto heardStart = [] {
    return std::count_if(events.begin(), events.end(), [](const Event& e) { return e.child == 1; });
  };
  events.clear();
  ::SetFocus(nullptr);
  Pump(0.1);
  EXPECT_EQ(heardStart(), 0);
  ::SetFocus(window);
  Pump(0.1);
  EXPECT_EQ(heardStart(), 1);
  events.clear();
  runtime_test::Capture before = runtime_test::CaptureClient(window);

  ::SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  Pump(0.1);
  VARIANT focus;
  ASSERT_EQ(object->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.vt == VT_I4 ? focus.lVal : -1, 2) << "Stop has the focus";
  EXPECT_EQ(Long(&IAccessible::get_accState, object.get(), 1), STATE_SYSTEM_FOCUSABLE);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().event, static_cast<DWORD>(EVENT_OBJECT_FOCUS));
  EXPECT_EQ(events.back().child, 2);
  // On the screen, the dotted rectangle lies on the edge of the spot that has the focus;
  // everything else looks as before. Shift+Tab takes it back to Start.
  auto drawnOn = [&](int part) {
    runtime_test::Capture after = runtime_test::CaptureClient(window, true);
    const host::TwipsRect r = hotspots::Parts()[static_cast<std::size_t>(part)].rect;
    RECT spot = {std::lround(r.left / 15), std::lround(r.top / 15),
                 std::lround((r.left + r.width) / 15), std::lround((r.top + r.height) / 15)};
    int changed = 0, outside = 0;
    for (int y = 0; y < after.height; ++y) {
      for (int x = 0; x < after.width; ++x) {
        if (after.At(x, y) == before.At(x, y)) continue;
        ++changed;
        if (!::PtInRect(&spot, POINT{x, y})) ++outside;
      }
    }
    EXPECT_GT(changed, 10) << part;
    EXPECT_EQ(outside, 0) << part;
  };
  drawnOn(1);
  {
    runtime_test::HeldKey shift(VK_SHIFT);
    ::SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  }
  Pump(0.1);
  drawnOn(0);
  ::SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  Pump(0.1);

  form.Label1.SetCaption(u"away");
  form.Label2_Click();
  ASSERT_TRUE(form.Timer1.Enabled());
  ::SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0x40000001);  // a held key's repeat
  EXPECT_TRUE(form.Timer1.Enabled());
  ::SendMessageW(window, WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_FALSE(form.Timer1.Enabled()) << "Space pressed Stop";

  // The strip: Tab goes from its box to its button; closing it brings the panel back.
  app::Form2& strip = app::TheForm2();
  form.Hide();
  strip.Show();
  HWND box = ::FindWindowExW(reinterpret_cast<HWND>(strip.Handle()), nullptr, L"Edit", nullptr);
  ASSERT_EQ(::GetFocus(), box);
  ::PostMessageW(box, WM_KEYDOWN, VK_TAB, 1);
  Pump(0.1);
  EXPECT_EQ(::GetFocus(),
            ::FindWindowExW(reinterpret_cast<HWND>(strip.Handle()), nullptr, L"Button", nullptr));
  ::SendMessageW(reinterpret_cast<HWND>(strip.Handle()), WM_CLOSE, 0, 0);
  EXPECT_FALSE(strip.Visible());
  EXPECT_TRUE(form.Visible());
  ::UnhookWinEvent(hook);
}

TEST_F(RuntimeAccess, TheReasonStripsBoxAndButtonReadByName) {
  app::Form2& strip = app::TheForm2();
  strip.Show();
  HWND window = reinterpret_cast<HWND>(strip.Handle());
  struct Row {
    const wchar_t* cls;
    const char16_t* name;
    long role;
  };
  for (Row row : {Row{L"Edit", u"Reason for idling", ROLE_SYSTEM_TEXT},
                  Row{L"Button", u"ok", ROLE_SYSTEM_PUSHBUTTON}}) {
    ComPtr<IAccessible> object;
    ASSERT_EQ(::AccessibleObjectFromWindow(::FindWindowExW(window, nullptr, row.cls, nullptr),
                                           OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(object.Put())),
              S_OK);
    EXPECT_EQ(Property(&IAccessible::get_accName, object.get(), CHILDID_SELF), row.name);
    EXPECT_EQ(Long(&IAccessible::get_accRole, object.get(), CHILDID_SELF), row.role);
  }
}

}  // namespace
