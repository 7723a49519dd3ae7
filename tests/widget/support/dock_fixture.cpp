#include "dock_fixture.h"

#include "dock/name_lists.h"
#include "settings/config.h"
#include "settings/preset_store.h"
#include "show/show_state.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void DockTest::SetUp()
{
	loadPresets(R"({"current": 0, "presets": [{"name": "First"}, {"name": "Second", "title": "Second title"}]})");
}

void DockTest::TearDown()
{
	dock.reset();
	releaseConfig();
}

void DockTest::loadPresets(const QByteArray &json)
{
	config.write(json);
	loadConfig();
	QFile::remove(config.path());
}

void DockTest::makeDock()
{
	auto fakeHost = std::make_unique<FakeDockHost>();
	host = fakeHost.get();
	host->scenes = QStringList{QStringLiteral("Standby"), QStringLiteral("Main"), QStringLiteral("Break"),
				   QStringLiteral("Ending"), QStringLiteral("OP")};
	host->programScene = QStringLiteral("Main");
	host->addSource(QStringLiteral("Music"), audioSourceFlag, QStringLiteral("ffmpeg_source"));
	host->addSource(QStringLiteral("Opening"), audioSourceFlag | controllableMediaSourceFlag);
	host->transitionList = {
		{QStringLiteral("Fade"), false}, {QStringLiteral("Cut"), true}, {QStringLiteral("Swipe"), false}};
	auto fakeDirector = std::make_unique<FakeDockDirector>();
	director = fakeDirector.get();
	dock = std::make_unique<StandbyDock>(std::move(fakeHost), std::move(fakeDirector));
	dock->resize(400, 900);
	dock->show();
	saves();
}

void DockTest::firePendingTexts()
{
	ASSERT_TRUE(textTimer()->isActive());
	textTimer()->stop();
	QMetaObject::invokeMethod(textTimer(), "timeout", Qt::DirectConnection);
}

int DockTest::saves()
{
	const uint64_t now = showState().revision();
	const int count = static_cast<int>(now - lastRevision);
	lastRevision = now;
	return count;
}

QJsonObject DockTest::writtenPreset() const
{
	const QJsonObject root = QJsonDocument::fromJson(config.read()).object();
	const QJsonArray presets = root.value(QStringLiteral("presets")).toArray();
	return presets.at(root.value(QStringLiteral("current")).toInt()).toObject();
}

void DockTest::forgetWrites()
{
	QFile::remove(config.path());
	saves();
}
