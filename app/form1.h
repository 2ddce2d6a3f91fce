// Form1, the main window: a picture-skinned panel whose transparent labels are its hot
// spots and read-outs. Its labels, colours and minute timer hold the whole idling state.
#pragma once

#include "host/runtime.h"

namespace app {

class Form1 : public host::Form {
 public:
  Form1();

  host::Label& Label1;   // the idle reason; a click opens the reason window
  host::Label& Label2;   // "Start Idling"
  host::Label& Label3;   // "Stop Idling"
  host::Label& Label4;   // exit
  host::Label& Label5;   // minimise
  host::Label& Label6;   // the word "on", black while idling
  host::Label& Label7;   // the word "off", black while not idling
  host::Label& Label8;   // the minutes counter: minutes idled so far
  host::Label& Label9;   // the message counter
  host::Label& Label12;  // the idle start time (time of day); lies below the visible area
  host::Timer& Timer1;   // the minute timer: enabled while idling
  host::Timer& Timer3;   // interval 0: never ticks

  void Form_Load() override;
  void Form_MouseDown(int button, int shift, float x, float y) override;
  void Form_QueryUnload() override;
  void Label1_Click();
  void Label2_Click();
  void Label3_Click();
  void Label4_Click();
  void Label5_Click();
  void Timer1_Timer();
  void Timer3_Timer();
};

inline constexpr host::Color kIndicatorOn = 0x000000;
inline constexpr host::Color kIndicatorOff = 0x404040;

}  // namespace app
