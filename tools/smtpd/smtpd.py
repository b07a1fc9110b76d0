#!/usr/bin/python3
"""A local mail server for the end-to-end tests (Debian's python3-aiosmtpd).

Listeners on free loopback ports, written to the port file as "name=port" lines:
  starttls   plain, STARTTLS required before AUTH and mail
  tls        TLS on connect
  wrongname  TLS on connect with a certificate for "wrong.example"
  untrusted  TLS on connect with a certificate for "localhost" from no known authority
  clientcert TLS on connect, asking for a client certificate that the client may leave out
  plain      no TLS at all, AUTH in the clear (a server on this machine)
  slow       as plain, but the greeting comes after --delay seconds
Every listener takes AUTH PLAIN and LOGIN: --user with --password passes, any other does not.
A recipient whose local part is "busy" is refused for now (451). As strict servers do, a
message whose address, id or date header holds an RFC 2047 encoded word is refused (554).

Under the work folder: ca.pem / ca.der (the test authority), the server certificates, and
mail/N.eml with mail/N.envelope beside it ("listener:", "user:", "tls:", "from:", "to:"
lines), the envelope written first so that a test seeing N.eml finds both.
"""
import argparse
import asyncio
import datetime
import email.parser
import email.policy
import ipaddress
import itertools
import os
import signal
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

HOSTNAME = "localhost"
# Headers whose syntax leaves no room for encoded words.
STRUCTURED_HEADERS = {"from", "to", "cc", "bcc", "reply-to", "sender", "message-id",
                      "in-reply-to", "references", "date", "return-path"}


# ---- certificates -------------------------------------------------------------------------

def _key():
    return rsa.generate_private_key(public_exponent=65537, key_size=2048)


def _name(common_name):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common_name)])


def _certificate(subject, key, issuer, issuer_key, extensions):
    now = datetime.datetime.now(datetime.timezone.utc)
    builder = (x509.CertificateBuilder()
               .subject_name(subject).issuer_name(issuer)
               .public_key(key.public_key())
               .serial_number(x509.random_serial_number())
               .not_valid_before(now - datetime.timedelta(days=1))
               .not_valid_after(now + datetime.timedelta(days=30)))
    for extension, critical in extensions:
        builder = builder.add_extension(extension, critical=critical)
    return builder.sign(issuer_key, hashes.SHA256())


def _write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def make_certificates(folder):
    """The test authority, two server certificates signed by it and one signed by itself;
    returns the TLS contexts of the right name, the wrong one, the unknown authority and the
    right name asking for an optional client certificate."""
    ca_key = _key()
    ca_name = _name("Pip Warden Test Authority")
    ca = _certificate(ca_name, ca_key, ca_name, ca_key, [
        (x509.BasicConstraints(ca=True, path_length=0), True),
        (x509.KeyUsage(digital_signature=True, content_commitment=False, key_encipherment=False,
                       data_encipherment=False, key_agreement=False, key_cert_sign=True,
                       crl_sign=True, encipher_only=False, decipher_only=False), True),
        (x509.SubjectKeyIdentifier.from_public_key(ca_key.public_key()), False),
    ])
    _write(os.path.join(folder, "ca.pem"), ca.public_bytes(serialization.Encoding.PEM))
    _write(os.path.join(folder, "ca.der"), ca.public_bytes(serialization.Encoding.DER))

    def server_context(file_name, dns_name, addresses, self_signed=False):
        key = _key()
        names = [x509.DNSName(dns_name)] + [x509.IPAddress(ipaddress.ip_address(a))
                                             for a in addresses]
        issuer, issuer_key = (_name(dns_name), key) if self_signed else (ca_name, ca_key)
        certificate = _certificate(_name(dns_name), key, issuer, issuer_key, [
            (x509.BasicConstraints(ca=False, path_length=None), True),
            (x509.SubjectAlternativeName(names), False),
            (x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), False),
            (x509.AuthorityKeyIdentifier.from_issuer_public_key(issuer_key.public_key()), False),
        ])
        path = os.path.join(folder, file_name)
        _write(path, key.private_bytes(serialization.Encoding.PEM,
                                       serialization.PrivateFormat.TraditionalOpenSSL,
                                       serialization.NoEncryption())
               + certificate.public_bytes(serialization.Encoding.PEM))
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(path)
        return context

    right = server_context("localhost.pem", "localhost", ["127.0.0.1"])
    asking = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    asking.load_cert_chain(os.path.join(folder, "localhost.pem"))
    asking.verify_mode = ssl.CERT_OPTIONAL
    asking.load_verify_locations(os.path.join(folder, "ca.pem"))
    return (right,
            server_context("wrongname.pem", "wrong.example", []),
            server_context("untrusted.pem", "localhost", ["127.0.0.1"], self_signed=True),
            asking)


# ---- mail ---------------------------------------------------------------------------------

def authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
                and auth_data.password == password.encode()):
            return AuthResult(success=True, auth_data=auth_data)
        return AuthResult(success=False, handled=False)
    return authenticate


class MailFolder:
    """The aiosmtpd handler: saves every message with its envelope."""

    def __init__(self, folder):
        self.folder = folder
        self.numbers = itertools.count(1)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.split("@")[0].lower() == "busy":
            return "451 4.3.2 Mailbox busy, try again later"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        headers = email.parser.BytesHeaderParser(policy=email.policy.compat32).parsebytes(
            envelope.original_content or envelope.content)
        for name, value in headers.items():
            if name.lower() in STRUCTURED_HEADERS and "=?" in value:
                return f"554 5.6.0 Encoded word in the structured header {name}"
        number = next(self.numbers)
        user = session.auth_data.login.decode() if session.authenticated else ""
        tls = server.tls_on_connect or server._tls_protocol is not None
        lines = [f"listener: {server.listener}", f"user: {user}", f"tls: {'yes' if tls else 'no'}",
                 f"from: {envelope.mail_from}"] + [f"to: {to}" for to in envelope.rcpt_tos]
        base = os.path.join(self.folder, str(number))
        _write(base + ".envelope", ("\n".join(lines) + "\n").encode())
        _write(base + ".tmp", envelope.content)
        os.replace(base + ".tmp", base + ".eml")
        return f"250 2.0.0 OK queued as {number}"


class SlowSMTP(SMTP):
    delay = 0.0

    async def _handle_client(self):
        await asyncio.sleep(self.delay)
        await super()._handle_client()


# ---- listeners ----------------------------------------------------------------------------

async def serve(args):
    os.makedirs(os.path.join(args.folder, "mail"), exist_ok=True)
    right, wrong, untrusted, asking = make_certificates(args.folder)
    handler = MailFolder(os.path.join(args.folder, "mail"))
    SlowSMTP.delay = args.delay
    loop = asyncio.get_running_loop()
    authenticate = authenticator(args.user, args.password)

    # (name, class, TLS on connect, STARTTLS context, STARTTLS required)
    kinds = [("starttls", SMTP, None, right, True),
             ("tls", SMTP, right, None, False),
             ("wrongname", SMTP, wrong, None, False),
             ("untrusted", SMTP, untrusted, None, False),
             ("clientcert", SMTP, asking, None, False),
             ("plain", SMTP, None, None, False),
             ("slow", SlowSMTP, None, None, False)]
    ports = []
    for name, kind, on_connect, starttls, required in kinds:
        def factory(name=name, kind=kind, on_connect=on_connect, starttls=starttls,
                    required=required):
            server = kind(handler, hostname=HOSTNAME, tls_context=starttls,
                          require_starttls=required, auth_require_tls=required,
                          authenticator=authenticate, loop=loop)
            server.listener = name
            server.tls_on_connect = on_connect is not None
            return server
        listener = await loop.create_server(factory, "127.0.0.1", 0, ssl=on_connect)
        ports.append(f"{name}={listener.sockets[0].getsockname()[1]}")

    _write(args.port_file + ".tmp", ("\n".join(ports) + "\n").encode())
    os.replace(args.port_file + ".tmp", args.port_file)

    stop = asyncio.Event()
    loop.add_signal_handler(signal.SIGTERM, stop.set)
    loop.add_signal_handler(signal.SIGINT, stop.set)
    started = loop.time()
    # Ends by itself when the shell that started it is gone, or after the lifetime.
    while not stop.is_set() and loop.time() - started < args.max_lifetime:
        if args.parent_pid and not _alive(args.parent_pid):
            break
        try:
            await asyncio.wait_for(stop.wait(), 1.0)
        except asyncio.TimeoutError:
            pass


def _alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--folder", required=True, help="work folder: certificates and mail/")
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--delay", type=float, default=20.0,
                        help="seconds before the slow listener's greeting")
    parser.add_argument("--parent-pid", type=int, default=0)
    parser.add_argument("--max-lifetime", type=float, default=3600.0)
    args = parser.parse_args()
    asyncio.run(serve(args))
    return 0


if __name__ == "__main__":
    sys.exit(main())
