#pragma once

#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

/// A screen: one top-level window with its load and unload handlers.
///
/// Screens are loaded, shown, shown modally and unloaded through Runtime, which keeps one instance
/// of each screen class while it is loaded.
class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    /// Whether the screen is loaded: created and not yet unloaded.
    bool isLoaded() const { return !m_unloading; }

    /// Sets the size of the window's inner area, in twips, for good: the window cannot be resized
    /// or maximised, and a tiling desktop floats it.
    void setClientTwips(int width, int height);
    /// Sets the window's Left and Top in twips.
    void moveTwips(int left, int top);
    /// Places the window in the middle of the screen: Left = Int((screen width − window width) /
    /// 2), Top likewise, in twips, with the window's outer size.
    void centreOnScreen();

    /// The size, in twips, of the inner area the window has when maximised: the screen's work area
    /// less the window manager's frame, asked for before the window is first shown. On a bare
    /// screen (no panel, no window manager) the whole screen.
    QSize maximisedClientTwips();

    /// Makes the window visible as this screen appears and brings it forward.
    virtual void present();

signals:
    /// The window was hidden or unloaded; ends a modal display.
    void dismissed();

protected:
    /// Raises and activates the window, where the platform can.
    void bringForward();

    /// Runs once per load, before the window is first shown.
    virtual void Form_Load() {}
    /// Runs when the screen is being unloaded, by the player closing it or by the program.
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    friend class Runtime;
    bool m_unloading = false;
    std::optional<QMargins> m_maximisedFrame;
};

/// The operations on screens: show, show modally, unload, end.
class Runtime
{
public:
    /// The loaded instance of a screen class, or nullptr.
    template <class F> static F *loaded()
    {
        F *f = slot<F>().data();
        return f && f->isLoaded() ? f : nullptr;
    }

    /// Loads a screen if it is not loaded (running its load handler) and returns it; nullptr if
    /// the program ended meanwhile.
    template <class F> static F *Load()
    {
        if (s_ended)
            return nullptr;
        if (F *f = loaded<F>())
            return f;
        F *f = new F;
        slot<F>() = f;
        static_cast<Form *>(f)->Form_Load();
        return s_ended ? nullptr : loaded<F>();
    }

    /// Loads the screen if needed, then makes it visible and brings it forward.
    template <class F> static F *Show()
    {
        F *f = Load<F>();
        if (f)
            f->present();
        return f;
    }

    /// As Show, but returns only when the screen has been hidden or unloaded; meanwhile the other
    /// screens take no input.
    template <class F> static void ShowModal()
    {
        if (F *f = Load<F>())
            showModal(f);
    }

    /// Unloads a screen class's instance; nothing happens if it is not loaded.
    template <class F> static void Unload() { unloadForm(loaded<F>()); }

    static void unloadForm(Form *form);

    /// Ends the program at once: every window closes and no handler of the program runs after it.
    static void End();
    static bool ended() { return s_ended; }

    /// What End does besides closing the windows; by default it quits the application.
    static void setEndHandler(std::function<void()> handler);

    /// A message box with one OK button and the application's title; returns once it is closed.
    static void messageBox(const QString &text);
    /// Replaces the message box (tests); an empty function restores the real one.
    static void setMessageBoxHandler(std::function<void(const QString &)> handler);

    /// Screens currently loaded.
    static QList<Form *> loadedForms();

    /// Throws every screen away at once and clears the ended state (tests).
    static void resetForTests();

private:
    template <class F> static QPointer<F> &slot()
    {
        static QPointer<F> instance;
        return instance;
    }
    static void showModal(Form *form);
    static void discardAll(bool now);

    static bool s_ended;
};
