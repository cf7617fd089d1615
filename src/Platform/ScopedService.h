#pragma once

// Each platform service is an abstract class with a process-wide current instance (the real
// implementation unless a test installed a fake). QorScopedService installs one for its own
// lifetime and puts the previous one back afterwards.
template <class Service, Service& (*Current)(), void (*Install)(Service*)>
class QorScopedService {
public:
    explicit QorScopedService(Service* service) : mPrevious(&Current()) { Install(service); }
    ~QorScopedService() { Install(mPrevious); }

    QorScopedService(const QorScopedService&) = delete;
    QorScopedService& operator=(const QorScopedService&) = delete;

private:
    Service* mPrevious;
};
