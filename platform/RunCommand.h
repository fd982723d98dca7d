#pragma once
// Runs a command handler so that no exception leaves a slot: a
// CException or std::bad_alloc is shown in an error box, as the
// framework's default handler would. Returns false when one was caught.
#include <QString>

#include <functional>
#include <optional>

class QWidget;

bool RunCommand(QWidget* parent, const std::function<void()>& handler);
// Shows one caught failure in an error box (empty texts included).
void ReportException(QWidget* parent, const class CException& e);
// The failure's text as the framework fetches it, into its error-message
// buffer of 256 characters; empty when the exception gives none.
std::optional<QString> GetExceptionText(const class CException& e);
