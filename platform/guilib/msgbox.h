#pragma once

#include <QDialog>
#include <QString>

#if defined(GUILIB_LIBRARY)
#define GUILIB_EXPORT Q_DECL_EXPORT
#else
#define GUILIB_EXPORT Q_DECL_IMPORT
#endif

class QLabel;
class QPushButton;

// The panel's message box.
//   kind     0 question or information, 1 warning, 2 error
//   buttons  3 a confirm and a cancel key, 1 a single acknowledge key
//   execNow  true: the box runs modally inside the constructor, and when the constructor
//            returns result() holds the answer, 1 for confirmed or acknowledged, 0 otherwise.
//            false: the box is only shown, not waited for; its owner deletes it.
//   autoClose, autoCloseSeconds  close by itself after that many seconds, answered 0
//   plainText   show the text without an icon
//   wordWrap    let long lines wrap; otherwise each line stands whole
//   confirmText, cancelText, title  key texts and window title; "unchanged" keeps the default
//   fontPixelSize  size of the text and the keys
class GUILIB_EXPORT MsgBox : public QDialog
{
    Q_OBJECT
public:
    MsgBox(int kind, QString text, int buttons, bool execNow, bool autoClose,
           int autoCloseSeconds, bool plainText, bool wordWrap, QString confirmText,
           QString cancelText, QString title, int fontPixelSize);
    ~MsgBox() override;
};
