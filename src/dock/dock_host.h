#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The module's own countdown source type.
constexpr char countdownSourceId[] = "curtainup_source";

// One host source as the dock's lists see it.
struct DockSourceInfo {
	QString name;
	QString id;
	uint32_t outputFlags = 0;
	int countdownKind = -1; // the "kind" setting of a countdown source; -1 for other sources
};

struct DockTransitionInfo {
	QString name;
	bool fixed = false; // the transition has a length of its own
};

enum class PlaceResult { Failed, Selected, Added };

// What the dock needs from the host: the lists of scenes, sources and transitions, and the
// few scene operations that put a countdown source into a scene. Everything is named, so
// no host reference outlives a call; tests put a fake in its place.
class DockHost {
public:
	virtual ~DockHost() = default;

	// In the host's order.
	virtual QStringList sceneNames() = 0;
	// Inputs and groups in the host's enumeration order.
	virtual std::vector<DockSourceInfo> sources() = 0;
	virtual std::vector<DockTransitionInfo> transitions() = 0;

	virtual bool isScene(const QString &name) = 0;
	virtual bool sourceExists(const QString &name) = 0;
	// The studio-mode preview scene while studio mode is on, else the program scene; empty
	// when there is none.
	virtual QString currentEditingScene() = 0;

	// Puts the source into the scene: when `create` is set, a new countdown source of that
	// name and kind is made first. A scene that already holds an item of that name gets the
	// item selected (Selected); otherwise a new item is added at the canvas centre and
	// selected (Added). Failed when the scene is gone or the source cannot be had.
	virtual PlaceResult placeInScene(const QString &scene, const QString &source, bool create, int kind) = 0;
};
