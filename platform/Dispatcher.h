#pragma once
// The dispatcher hands work to the user-interface thread.
//
// Receivers (windows, in effect) register and get a ReceiverId; ids are never
// reused, so a stale id simply names nobody. Post queues a message for a
// receiver and returns at once; messages are delivered on the UI thread in
// the order they were posted (one queue for all senders). A message may carry
// one heap object, its payload: the receiver's handler owns it from the call
// on, and whenever a message cannot be delivered (receiver unknown at post
// time, unregistered before delivery, dispatcher closed) the dispatcher frees
// the payload itself. Nothing posted can leak.
//
// Send runs a function on the UI thread and waits for its result, as a sent
// window message does; on the UI thread itself it runs inline. The UI thread
// must never wait for a worker that may be sending, or both stop.
//
// Timers are keyed by (receiver, timer id) and repeat until killed; each
// expiry is delivered as WM_TIMER with the timer id in wParam. Setting a timer
// that runs restarts it with the new period. Once KillTimer returns, no
// WM_TIMER of that timer is delivered any more.
//
// Every call is thread-safe unless it says otherwise.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "platform/Messages.h"

namespace platform {

typedef uint64_t ReceiverId;
constexpr ReceiverId kNoReceiver = 0;

// Base of every heap object that travels with a message.
class MessagePayload {
public:
    virtual ~MessagePayload() = default;
};

// A payload holding one value (a text line, a control list ...).
template <class T>
class ValuePayload : public MessagePayload {
public:
    explicit ValuePayload(T v) : value(std::move(v)) {}
    T value;
};

template <class T>
std::unique_ptr<MessagePayload> MakeValuePayload(T value)
{
    return std::make_unique<ValuePayload<T>>(std::move(value));
}

// The value inside a ValuePayload<T>, or null when the payload is something else.
template <class T>
T* PayloadValue(const std::unique_ptr<MessagePayload>& payload)
{
    auto* p = dynamic_cast<ValuePayload<T>*>(payload.get());
    return p ? &p->value : nullptr;
}

// Takes the payload over as a T; null (payload left in place) when it is not one.
template <class T>
std::unique_ptr<T> PayloadCast(std::unique_ptr<MessagePayload>& payload)
{
    if (!dynamic_cast<T*>(payload.get()))
        return nullptr;
    return std::unique_ptr<T>(static_cast<T*>(payload.release()));
}

class MessageReceiver {
public:
    virtual ~MessageReceiver() = default;
    // Runs on the UI thread. The payload (often null) belongs to the handler;
    // what it does not keep is freed when it returns.
    virtual void OnMessage(MessageId id, uintptr_t wParam, intptr_t lParam,
                           std::unique_ptr<MessagePayload> payload) = 0;
};

// Thrown to a sender whose function was dropped because the dispatcher closed.
class DispatcherClosed : public std::runtime_error {
public:
    DispatcherClosed() : std::runtime_error("the user-interface dispatcher has closed") {}
};

class Dispatcher {
public:
    virtual ~Dispatcher() = default;

    virtual ReceiverId Register(MessageReceiver& receiver) = 0;
    // Forgets the receiver, kills its timers and frees the payloads of its
    // queued messages. Called off the UI thread it also waits for a delivery
    // to that receiver in progress, so the receiver may be destroyed after.
    virtual void Unregister(ReceiverId id) = 0;
    virtual bool IsRegistered(ReceiverId id) const = 0;

    // False (payload freed) when the receiver is not registered or the
    // dispatcher has closed.
    virtual bool Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
                      std::unique_ptr<MessagePayload> payload = nullptr) = 0;

    // The answer for a thread stays the same for the dispatcher's life.
    virtual bool IsUiThread() const = 0;

    // False when the receiver is not registered. A period below 10 ms is 10 ms.
    virtual bool SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs) = 0;
    // False when no such timer runs.
    virtual bool KillTimer(ReceiverId receiver, uint32_t timerId) = 0;

    // Runs f on the UI thread and returns its result; an exception thrown by
    // f is rethrown here. Throws DispatcherClosed when the dispatcher closes
    // before f has run.
    template <class F>
    auto Send(F&& f) -> std::invoke_result_t<F&>;

protected:
    // Queues the task for the UI thread and returns once it has run; throws
    // DispatcherClosed when it was dropped. Never called on the UI thread.
    virtual void RunAndWait(std::function<void()> task) = 0;
};

template <class F>
auto Dispatcher::Send(F&& f) -> std::invoke_result_t<F&>
{
    using R = std::invoke_result_t<F&>;
    static_assert(!std::is_reference<R>::value, "Send returns values, not references");
    if (IsUiThread())
        return f();
    std::exception_ptr failure;
    if constexpr (std::is_void<R>::value) {
        RunAndWait([&] {
            try {
                f();
            } catch (...) {
                failure = std::current_exception();
            }
        });
        if (failure)
            std::rethrow_exception(failure);
    } else {
        std::optional<R> result;
        RunAndWait([&] {
            try {
                result.emplace(f());
            } catch (...) {
                failure = std::current_exception();
            }
        });
        if (failure)
            std::rethrow_exception(failure);
        return std::move(*result);
    }
}

// The process-wide dispatcher, installed at start-up (tests install a
// ManualDispatcher). Returns the previous one.
std::shared_ptr<Dispatcher> SetDispatcher(std::shared_ptr<Dispatcher> dispatcher);
std::shared_ptr<Dispatcher> GetDispatcher();

// Installs a dispatcher for a scope and puts the previous one back.
class DispatcherScope {
public:
    explicit DispatcherScope(std::shared_ptr<Dispatcher> dispatcher)
        : m_previous(SetDispatcher(std::move(dispatcher))) {}
    ~DispatcherScope() { SetDispatcher(std::move(m_previous)); }
    DispatcherScope(const DispatcherScope&) = delete;
    DispatcherScope& operator=(const DispatcherScope&) = delete;

private:
    std::shared_ptr<Dispatcher> m_previous;
};

// The calls above on the current dispatcher. Without one, Post and SetTimer
// fail (the payload is freed), and Send runs f on the calling thread: a
// program with no UI thread has nobody else to run it.
bool Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
          std::unique_ptr<MessagePayload> payload = nullptr);
bool SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs);
bool KillTimer(ReceiverId receiver, uint32_t timerId);
bool IsUiThread();

template <class F>
auto Send(F&& f) -> std::invoke_result_t<F&>
{
    // The common case, a port called on the UI thread, asks no lock.
    if (IsUiThread())
        return f();
    std::shared_ptr<Dispatcher> d = GetDispatcher();
    if (!d)
        return f();
    return d->Send(f);
}

// Registers a receiver with the current dispatcher for the life of this
// object, and unregisters it from that same dispatcher at the end.
class ReceiverRegistration {
public:
    ReceiverRegistration() = default;
    explicit ReceiverRegistration(MessageReceiver& receiver);
    ~ReceiverRegistration() { Reset(); }
    ReceiverRegistration(ReceiverRegistration&& other) noexcept;
    ReceiverRegistration& operator=(ReceiverRegistration&& other) noexcept;
    ReceiverRegistration(const ReceiverRegistration&) = delete;
    ReceiverRegistration& operator=(const ReceiverRegistration&) = delete;

    ReceiverId Id() const { return m_id; }
    void Reset();

private:
    std::shared_ptr<Dispatcher> m_dispatcher;
    ReceiverId m_id = kNoReceiver;
};

// The windows that code below the user interface posts to or sets timers on;
// each window records its id when it is created and clears it when it goes.
enum class AppWindow { TreeView, ListView, MainFrame, OutputList };
void SetAppWindow(AppWindow window, ReceiverId id);
ReceiverId GetAppWindow(AppWindow window);

} // namespace platform
