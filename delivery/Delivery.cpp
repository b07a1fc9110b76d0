#include "delivery/Delivery.h"

const char* ChannelName(DeliveryChannel channel) {
    switch (channel) {
    case DeliveryChannel::Mail:
        return "MAIL";
    case DeliveryChannel::Telegram:
        return "TELEGRAM";
    case DeliveryChannel::Ntfy:
        return "NTFY";
    case DeliveryChannel::Webhook:
        return "WEBHOOK";
    }
    return "?";
}
