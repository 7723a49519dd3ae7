#pragma once

#include <QColor>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <utility>

// Answers the modal dialogs that the code under test opens, in order, the moment each one
// shows. A dialog that comes when no answer is left is cancelled and counted, so a test
// never hangs on an unexpected question.
class DialogScript {
public:
	using Answer = std::function<void(QWidget *dialog)>;

	DialogScript();
	~DialogScript();

	// An input dialog: enter the text and press OK.
	DialogScript &enterText(const QString &text);
	// Any dialog: close it as a cancel (Escape) would.
	DialogScript &cancel();
	// A message box: press that button.
	DialogScript &press(QMessageBox::StandardButton button);
	// A file or folder dialog: choose the path and accept.
	DialogScript &choosePath(const QString &path);
	// A colour dialog: choose the colour and accept.
	DialogScript &chooseColor(const QColor &color);
	// Something that happens elsewhere while the next dialog is open, before it is answered.
	DialogScript &whileOpen(std::function<void()> happening);

	int answered() const { return answeredCount; }
	int unexpected() const { return unexpectedCount; }
	bool done() const { return answers.empty(); }
	// What the dialogs said, in order (window title, then the text or label).
	QStringList seen;

private:
	// Queues an answer for a dialog of type D; another kind of dialog is cancelled.
	template<typename D> DialogScript &expect(std::function<void(D *)> act)
	{
		answers.push_back([act, happening = std::exchange(nextHappening, {})](QWidget *dialog) {
			if (happening)
				happening();
			if (auto *wanted = qobject_cast<D *>(dialog))
				act(wanted);
			else if (auto *other = qobject_cast<QDialog *>(dialog))
				other->reject();
		});
		return *this;
	}
	void poll();

	std::deque<Answer> answers;
	std::function<void()> nextHappening;
	QTimer timer;
	QPointer<QWidget> lastDialog;
	int answeredCount = 0;
	int unexpectedCount = 0;
};
