#include "framework/CDialogEx.h"

CDialogEx::CDialogEx(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}
