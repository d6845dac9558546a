// The headless run, top to bottom: settings, start-up, tick loop, settings.
#include "app/headless.h"

#include <memory>
#include <string>

#include "adapter/adapter_list.h"
#include "adapter/socket_driver_channel.h"
#include "adapter/thread_stop.h"
#include "app/change_sinks.h"
#include "app/console_ui_services.h"
#include "app/options.h"
#include "app/refresh_cycle.h"
#include "settings/settings.h"
#include "snmp/agentx_subagent.h"
#include "app/startup.h"
#include "app/tick_loop.h"
#include "web/hypertext_server.h"
#include "web/listen_report.h"
#include "web/metrics_listener.h"
#include "web/page_dispatch.h"
#include "web/system_facts.h"

namespace quivera {

int RunHeadless(const Options& options) {
  // Before anything else (and before any thread exists), so that a stop
  // signal during start-up still ends the run with the settings written.
  StopSignals signals;
  ConsoleUiServices ui;

  const Result loaded = LoadSettings(options.settings_path);
  if (!loaded.ok) ui.Message(loaded.message, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
  if (options.test_mode) AppSettings().TestMode = 1;  // this run only; never written

  // The change record: the system log, standard error and the file asked
  // for, from before the first adapter is opened until after the last
  // thread that could change one has stopped.
  std::string record_warning;
  const InstalledChangeSinks record(
      ProgramChangeSinks(SystemSyslogWriter(), stderr, options.change_log, &record_warning));
  if (!record_warning.empty()) {
    ui.Message(record_warning, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
  }

  int status = 1;
  if (!signals.ok()) {
    ui.Message(signals.error(), kAppCaption, MessageButtons::Ok, MessageIcon::Stop);
  } else {
    AdapterList adapters;
    if (RunStartupSequence(adapters, MakeSocketChannelOpener(options.device_dir),
                           AppSettings().TestMode == 1, ui, nullptr)) {
      RefreshCycle cycle(adapters);
      // Services that run beside the refresh cycle start here ...
      const SystemFacts facts = SystemFacts::FromHost();
      CHypertextServer server([&](const std::string& upper_url, const std::string& peer) {
        return BuildAnswerBody(upper_url, adapters, server.LastPortShown(), facts,
                               RemoteClient{[] { return SetOperationsAllowed(); }, peer});
      });
      server.setName("QUIVERA/FDDI");
      server.setPort(AppSettings().WebPortID);
      // One line saying where the pages are, or why there are none.
      server.setListenReporter([&ui, &options](const ListenReport& report) {
        ui.Message(ListenReportText(report, options.settings_path), kAppCaption, MessageButtons::Ok,
                   report.error == 0 ? MessageIcon::Information : MessageIcon::Warning);
      });
      // Any non-zero value starts it, as in the windowed program.
      if (WebServerEnabled()) server.start();
      std::unique_ptr<MetricsListener> metrics;
      if (!options.metrics.empty()) {
        metrics = std::make_unique<MetricsListener>(adapters);
        metrics->Start(options.metrics_address, [&ui, &options](const ListenReport& report) {
          ui.Message(MetricsListenText(options.metrics_address, report), kAppCaption,
                     MessageButtons::Ok,
                     report.error == 0 ? MessageIcon::Information : MessageIcon::Warning);
        });
      }
      AgentxSubagent agent(adapters, [] { return SetOperationsAllowed(); });
      std::string agent_error;
      if (options.agentx && !agent.Start(options.agentx_socket, &agent_error)) {
        ui.Message(agent_error, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
      }
      {
        // A stop signal waiting ends the tick's driver requests at once.
        const ThreadStopScope stop_scope(signals.fd());
        status = RunTickLoop(signals, [&cycle] { cycle.Tick(); }) > 0 ? 0 : 1;
      }
      // ... and stop here, before the adapters and the settings go away.
      agent.Stop();
      server.stop();
      metrics.reset();
    }
  }

  Result saved = SaveSettings(options.settings_path);
  if (!saved.ok) {
    ui.Message(saved.message, kAppCaption, MessageButtons::Ok, MessageIcon::Warning);
    // Settings that could not be written are an error of the run.
    status = 1;
  }
  return status;
}

}  // namespace quivera
