#pragma once

#include "dock/dock_host.h"

#include <QMap>

#include <vector>

// An in-memory host: scenes with their items, sources and transitions that a test sets up
// and the dock's scene operations change.
class FakeDockHost final : public DockHost {
public:
	struct Item {
		QString source;
		bool selected = false;
	};

	QStringList scenes;
	std::vector<DockSourceInfo> sourceList;
	std::vector<DockTransitionInfo> transitionList;
	bool studioMode = false;
	QString programScene;
	QString previewScene;
	QMap<QString, std::vector<Item>> items;
	int listCalls = 0; // how often any list was asked for

	void addSource(const QString &name, uint32_t flags, const QString &id = QStringLiteral("ffmpeg_source"));
	void addCountdown(const QString &name, int kind);
	void removeSource(const QString &name);
	int countdownCount() const;

	QStringList sceneNames() override;
	std::vector<DockSourceInfo> sources() override;
	std::vector<DockTransitionInfo> transitions() override;
	bool isScene(const QString &name) override;
	bool sourceExists(const QString &name) override;
	QString currentEditingScene() override;
	PlaceResult placeInScene(const QString &scene, const QString &source, bool create, int kind) override;
};
