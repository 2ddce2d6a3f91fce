// A fresh simulated desktop with the stand-in chat client, and the program started on it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/forms.h"
#include "banners.h"
#include "host/sim/sim.h"

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::DestroyForms();
    sim::Reset();
  }
  void TearDown() override {
    EXPECT_TRUE(sim::Faults().empty());
    app::DestroyForms();
    sim::Reset();
  }

  // The chat client signed on as `name`, with one chat room open.
  void StartClient(const host::Text& name = u"Nick1") {
    client_ = sim::StartChatClient();
    sim::AddWelcome(client_, name);
    room_ = sim::AddChatRoom(client_);
  }

  // Starts the program and clicks the splash, as the user does, so the main window loads.
  app::Form1& StartToMainWindow() {
    host::Run(app::TheForm3());
    sim::Click(app::TheForm3(), 1000, 1000);
    return app::TheForm1();
  }

  std::vector<host::Text> Posted() const { return sim::PostedTexts(room_); }

  sim::ChatClient client_;
  sim::ChatRoom room_;
};

inline const host::Text kLoad1 = banners::Load();
