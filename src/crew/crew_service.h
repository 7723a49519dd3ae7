#pragma once

#include "crew/crew_action_worker.h"
#include "crew/crew_server.h"
#include "remote/crew_page_control.h"
#include "settings/crew_keys.h"
#include "show/show_report.h"

#include <QObject>

#include <optional>

// The crew's page while the module runs (UI thread): its settings and keys, the server
// they start, and the show it follows for the pages. The vendor's requests reach it
// through CrewPageControl, the dock directly.
class CrewService : public QObject, public CrewPageControl {
	Q_OBJECT

public:
	CrewService();
	~CrewService() override;

	CrewPageStatus status() const override;
	CrewPageStatus change(const CrewSettings &settings, bool newKeys) override;

	// The show at one poll of the watch: sent to the pages when something they show changed.
	void follow(const ShowReport &report, int64_t nowWallMs, bool streaming, bool recording);

Q_SIGNALS:
	// The settings, links or problem changed.
	void changed();

private:
	void apply();

	CrewKeys keys;
	QString problem;
	CrewActionWorker worker;
	CrewServer server;
	// What the pages were last sent.
	std::optional<ShowReport> sentReport;
	int64_t sentEndWallMs = -1;
	bool sentStreaming = false;
	bool sentRecording = false;
};

// The module's service, from the host's finished loading to its exit; null outside.
CrewService *crewService();
void startCrewService();
void stopCrewService();
