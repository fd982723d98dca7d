#pragma once
// Runs a command handler so that no exception leaves a slot, where Qt's
// event loop would not carry it: a CException or std::bad_alloc is shown
// in our error box instead. Returns false when one was caught.
#include <QString>

#include <functional>
#include <optional>

class QWidget;

bool RunCommand(QWidget* parent, const std::function<void()>& handler);
// The buffer that a failure's text is fetched into for the error box,
// terminator included: the box shows up to 511 characters of it.
constexpr unsigned ERROR_BOX_MESSAGE_SIZE = 512;

// Shows one caught failure in an error box (empty texts included).
void ReportException(QWidget* parent, const class CException& e);
// The failure's text as fetched into a buffer of bufferSize characters,
// terminator included; empty when the exception gives none.
std::optional<QString> GetExceptionText(const class CException& e, unsigned bufferSize);
