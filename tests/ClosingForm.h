// A form that closes itself in its handler of an event, destroying the
// control inside the click, double-click or key press that raised it. The
// tests of both controls run each way of raising their two events through
// it, with the form's handler connected to the control and to the host.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/HeadlessHost.h"

namespace trovel {

// `make` returns a control that has read its rows and can select row 1;
// `connect` connects `close` to both of its events as the form's own handler.
template <class C>
void ExpectTheFormMayCloseInItsHandlers(HeadlessHost& host, const std::function<std::unique_ptr<C>()>& make,
                                        const std::function<void(C&, const std::function<void()>& close)>& connect) {
  struct Trigger {
    const char* how;
    std::function<void(C&)> act;
  };
  const std::vector<Trigger> triggers = {
      {"select button", [](C& c) { c.cmdSeleccionar.Click(); }},
      {"double-click", [](C& c) { c.grdDatos.onDblClick(); }},
      {"Enter in the grid", [&host](C& c) { host.TypeKey(c.grdDatos, 13); }},
      {"exit button", [](C& c) { c.cmdSalir.Click(); }},
  };
  for (const Trigger& trigger : triggers)
    for (const bool through_host : {false, true}) {
      SCOPED_TRACE(std::string(trigger.how) + (through_host ? ", host's handler" : ", form's own handler"));
      std::unique_ptr<C> control = make();
      host.events.clear();
      const std::function<void()> close = [&control] { control.reset(); };
      if (through_host)
        host.onEvent = [&close](const std::string&, const std::vector<Variant*>&) { close(); };
      else
        connect(*control, close);
      trigger.act(*control);
      host.onEvent = nullptr;
      EXPECT_EQ(control, nullptr);
      // An event whose form handler destroyed the control goes no further.
      EXPECT_EQ(host.events.size(), through_host ? 1u : 0u);
    }
}

}  // namespace trovel
