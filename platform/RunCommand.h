#pragma once
// Runs a command handler so that no exception leaves a slot: a
// CException or std::bad_alloc is shown in an error box, as the
// framework's default handler would. Returns false when one was caught.
#include <QString>

#include <functional>
#include <optional>

class QWidget;

bool RunCommand(QWidget* parent, const std::function<void()>& handler);
// The framework's message buffer that its error box fills, terminator
// included: the box shows up to 511 characters of a failure.
constexpr unsigned ERROR_BOX_MESSAGE_SIZE = 512;

// Shows one caught failure in an error box (empty texts included).
void ReportException(QWidget* parent, const class CException& e);
// The failure's text as the framework fetches it into a buffer of
// bufferSize characters, terminator included; empty when the exception
// gives none.
std::optional<QString> GetExceptionText(const class CException& e, unsigned bufferSize);
