// A DOM object of the page, held in the web process extension and named here
// by its handle. The last release hands the handle back to the extension.
#pragma once

#include <memory>

#include "page/browser_host/dom_object.h"
#include "page/browser_host/webkit/connection.h"

namespace autolabel::browser_host::webkit {

class BridgeObject final : public RefCountedDomObject {
  public:
    BridgeObject(std::shared_ptr<Connection> connection, protocol::Handle handle)
        : connection_(std::move(connection)), handle_(handle) {}

    bool ReadMember(std::string_view name, Value& result) noexcept override;
    bool WriteMember(std::string_view name, const Value& value) noexcept override;
    bool CallMethod(std::string_view name, std::span<const Value> arguments,
                    Value& result) noexcept override;

    const Connection* connection() const { return connection_.get(); }
    const std::shared_ptr<Connection>& sharedConnection() const { return connection_; }
    protocol::Handle handle() const { return handle_; }

  private:
    ~BridgeObject() override;

    std::shared_ptr<Connection> connection_;
    protocol::Handle handle_;
};

}  // namespace autolabel::browser_host::webkit
