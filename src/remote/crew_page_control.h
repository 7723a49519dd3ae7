#pragma once

#include "settings/crew_settings.h"

#include <QString>

// The crew's page as the vendor's requests reach it. The page's own floor, above this one,
// installs the control while the module runs; without it the requests are refused.
struct CrewPageStatus {
	CrewSettings settings;
	QString viewUrl;    // empty while off
	QString controlUrl; // empty while off
	QString problem;    // why it does not listen (a port in use), else empty
};

class CrewPageControl {
public:
	virtual ~CrewPageControl() = default;
	virtual CrewPageStatus status() const = 0;
	// Applies the settings (and new keys, which disconnect every page opened with the old).
	virtual CrewPageStatus change(const CrewSettings &settings, bool newKeys) = 0;
};

// UI thread.
void setCrewPageControl(CrewPageControl *control);
CrewPageControl *crewPageControl();
