#include "director/obs_director_host.h"

#include "director/cuebox.h"
#include "director/stream_stop_code.h"

#include <obs-frontend-api.h>
#include <obs.hpp>

#include <QEvent>
#include <QObject>
#include <QTimer>

namespace {

void setFlagOnMediaEnded(void *flag, calldata_t *)
{
	static_cast<std::atomic<bool> *>(flag)->store(true);
}

class ObsHostSource final : public HostSource {
public:
	// Adopts the caller's reference.
	explicit ObsHostSource(obs_source_t *owned) : source(owned) {}

	QString name() const override { return QString::fromUtf8(obs_source_get_name(source)); }
	bool isScene() const override { return obs_source_is_scene(source); }
	bool isMedia() const override
	{
		return (obs_source_get_output_flags(source) & OBS_SOURCE_CONTROLLABLE_MEDIA) != 0;
	}

	float volume() const override { return obs_source_get_volume(source); }
	void setVolume(float volume) override { obs_source_set_volume(source, volume); }

	int mediaState() const override { return obs_source_media_get_state(source); }
	void restartMedia() override { obs_source_media_restart(source); }
	int64_t mediaDurationMs() const override { return obs_source_media_get_duration(source); }
	int64_t mediaTimeMs() const override { return obs_source_media_get_time(source); }
	void connectMediaEnded(std::atomic<bool> *flag) override
	{
		signal_handler_connect(obs_source_get_signal_handler(source), "media_ended", setFlagOnMediaEnded, flag);
	}
	void disconnectMediaEnded(std::atomic<bool> *flag) override
	{
		signal_handler_disconnect(obs_source_get_signal_handler(source), "media_ended", setFlagOnMediaEnded,
					  flag);
	}

	std::vector<HostSceneItem> items() const override
	{
		std::vector<HostSceneItem> list;
		if (obs_scene_t *scene = obs_group_or_scene_from_source(source))
			obs_scene_enum_items(scene, collectItem, &list);
		return list;
	}

	std::unique_ptr<HostWeakSource> weak() const override;

private:
	static bool collectItem(obs_scene_t *, obs_sceneitem_t *item, void *param)
	{
		// A source on its way out gives no new reference and is left out.
		if (obs_source_t *owned = obs_source_get_ref(obs_sceneitem_get_source(item))) {
			static_cast<std::vector<HostSceneItem> *>(param)->push_back(
				{std::make_shared<ObsHostSource>(owned), obs_sceneitem_visible(item),
				 obs_sceneitem_is_group(item)});
		}
		return true;
	}

	OBSSourceAutoRelease source;
};

class ObsWeakSource final : public HostWeakSource {
public:
	// Adopts the caller's weak reference.
	explicit ObsWeakSource(obs_weak_source_t *owned) : weakSource(owned) {}

	HostSourcePtr lock() const override
	{
		obs_source_t *owned = obs_weak_source_get_source(weakSource);
		return owned ? std::make_shared<ObsHostSource>(owned) : nullptr;
	}

private:
	OBSWeakSourceAutoRelease weakSource;
};

std::unique_ptr<HostWeakSource> ObsHostSource::weak() const
{
	return std::make_unique<ObsWeakSource>(obs_source_get_weak_source(source));
}

// Sees the main window's close event before the window does: the host saves its scene
// collection in its close handler.
class CloseRequestFilter final : public QObject {
public:
	explicit CloseRequestFilter(std::function<bool()> handler) : handler(std::move(handler)) {}

protected:
	bool eventFilter(QObject *watched, QEvent *event) override
	{
		if (event->type() != QEvent::Close || handler())
			return QObject::eventFilter(watched, event);
		// Held back: the window closes the way it was asked to, a moment later.
		event->ignore();
		QTimer::singleShot(closeRetryMs, watched, [watched] { QMetaObject::invokeMethod(watched, "close"); });
		return true;
	}

private:
	// Long enough for the host to see its ended transition stop (a video frame or two).
	static constexpr int closeRetryMs = 200;
	std::function<bool()> handler;
};

class ObsDirectorHost final : public DirectorHost {
public:
	HostSourcePtr findSource(const QString &name) override
	{
		obs_source_t *owned = obs_get_source_by_name(name.toUtf8().constData());
		return owned ? std::make_shared<ObsHostSource>(owned) : nullptr;
	}

	QString currentSceneName() override { return nameOf(obs_frontend_get_current_scene()); }
	void setCurrentScene(const QString &name) override
	{
		OBSSourceAutoRelease scene = obs_get_source_by_name(name.toUtf8().constData());
		if (scene)
			obs_frontend_set_current_scene(scene);
	}

	QString currentTransitionName() override { return nameOf(obs_frontend_get_current_transition()); }
	bool setCurrentTransition(const QString &name) override
	{
		const QByteArray wanted = name.toUtf8();
		obs_frontend_source_list transitions = {};
		obs_frontend_get_transitions(&transitions);
		bool found = false;
		for (size_t i = 0; i < transitions.sources.num && !found; ++i) {
			obs_source_t *transition = transitions.sources.array[i];
			if (wanted == obs_source_get_name(transition)) {
				obs_frontend_set_current_transition(transition);
				found = true;
			}
		}
		obs_frontend_source_list_free(&transitions);
		return found;
	}
	int transitionDurationMs() override { return obs_frontend_get_transition_duration(); }
	void setTransitionDurationMs(int ms) override { obs_frontend_set_transition_duration(ms); }
	bool transitionActive() override
	{
		// The program output runs through the current transition; its time stays below
		// 1 while it moves from one scene to the next.
		OBSSourceAutoRelease output = obs_get_output_source(0);
		return output && obs_source_get_type(output) == OBS_SOURCE_TYPE_TRANSITION &&
		       obs_transition_get_time(output) < 1.0f;
	}

	void finishTransitionNow() override
	{
		OBSSourceAutoRelease output = obs_get_output_source(0);
		if (!output || obs_source_get_type(output) != OBS_SOURCE_TYPE_TRANSITION)
			return;
		OBSSourceAutoRelease destination = obs_transition_get_active_source(output);
		obs_transition_set(output, destination);
	}

	void saveSceneCollection() override { obs_frontend_save(); }

	bool streamingActive() override { return obs_frontend_streaming_active(); }
	void startStreaming() override
	{
		obs_frontend_streaming_start();
		streamStop.follow();
	}
	void followStreamOutput() override { streamStop.follow(); }
	bool lastStreamStopWasClean() override { return streamStop.lastStopWasClean(); }
	void stopStreaming() override { obs_frontend_streaming_stop(); }
	bool recordingActive() override { return obs_frontend_recording_active(); }
	void startRecording() override { obs_frontend_recording_start(); }
	void stopRecording() override { obs_frontend_recording_stop(); }

	void setCloseRequestHandler(std::function<bool()> handler) override
	{
		// The host's QMainWindow, whose QObject part starts at the address handed out.
		auto *mainWindow = static_cast<QObject *>(obs_frontend_get_main_window());
		if (!mainWindow)
			return;
		closeFilter = std::make_unique<CloseRequestFilter>(std::move(handler));
		mainWindow->installEventFilter(closeFilter.get());
	}

	void reportPhase(const char *phase) override { ::reportPhase(phase); }
	void reportHold(bool on, const QString &reason) override { ::reportHold(on, reason); }

private:
	StreamStopCode streamStop;
	// Once deleted, the main window no longer calls it.
	std::unique_ptr<CloseRequestFilter> closeFilter;

	// Takes over the reference it is given.
	static QString nameOf(obs_source_t *owned)
	{
		OBSSourceAutoRelease source = owned;
		return source ? QString::fromUtf8(obs_source_get_name(source)) : QString();
	}
};

} // namespace

std::unique_ptr<DirectorHost> makeObsDirectorHost()
{
	return std::make_unique<ObsDirectorHost>();
}
