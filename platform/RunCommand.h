#pragma once
// Runs a command handler so that no exception leaves a slot: a
// CException or std::bad_alloc is shown in an error box, as the
// framework's default handler would. Returns false when one was caught.
#include <functional>

class QWidget;

bool RunCommand(QWidget* parent, const std::function<void()>& handler);
// Shows one caught failure in an error box (empty texts included).
void ReportException(QWidget* parent, const class CException& e);
