#include "dialog_script.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>

namespace {

QString describe(QWidget *dialog)
{
	QString text;
	if (auto *input = qobject_cast<QInputDialog *>(dialog))
		text = input->labelText() + QStringLiteral(" [") + input->textValue() + QLatin1Char(']');
	else if (auto *box = qobject_cast<QMessageBox *>(dialog))
		text = box->text();
	return dialog->windowTitle() + QStringLiteral(": ") + text;
}

} // namespace

DialogScript::DialogScript()
{
	timer.setInterval(5);
	QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
	timer.start();
}

DialogScript::~DialogScript() = default;

void DialogScript::poll()
{
	QWidget *dialog = QApplication::activeModalWidget();
	if (!dialog || dialog == lastDialog || !dialog->isVisible())
		return;
	lastDialog = dialog;
	seen.append(describe(dialog));
	if (answers.empty()) {
		++unexpectedCount;
		if (auto *modal = qobject_cast<QDialog *>(dialog))
			modal->reject();
		else
			dialog->close();
		return;
	}
	Answer answer = std::move(answers.front());
	answers.pop_front();
	++answeredCount;
	answer(dialog);
}

DialogScript &DialogScript::enterText(const QString &text)
{
	return expect<QInputDialog>([text](QInputDialog *input) {
		input->setTextValue(text);
		input->accept();
	});
}

DialogScript &DialogScript::cancel()
{
	return expect<QDialog>([](QDialog *dialog) {
		auto *box = qobject_cast<QMessageBox *>(dialog);
		if (box && box->escapeButton())
			box->escapeButton()->click();
		else
			dialog->reject();
	});
}

DialogScript &DialogScript::press(QMessageBox::StandardButton button)
{
	return expect<QMessageBox>([button](QMessageBox *box) {
		if (QAbstractButton *wanted = box->button(button))
			wanted->click();
		else
			box->reject();
	});
}

DialogScript &DialogScript::choosePath(const QString &path)
{
	return expect<QFileDialog>([path](QFileDialog *files) {
		files->selectFile(path);
		static_cast<QDialog *>(files)->accept();
	});
}

DialogScript &DialogScript::whileOpen(std::function<void()> happening)
{
	nextHappening = std::move(happening);
	return *this;
}

DialogScript &DialogScript::chooseColor(const QColor &color)
{
	return expect<QColorDialog>([color](QColorDialog *colors) {
		colors->setCurrentColor(color);
		colors->accept();
	});
}
