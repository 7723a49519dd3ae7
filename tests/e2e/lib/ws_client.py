"""A minimal obs-websocket 5 client: identify (with a password where the server asks for one),
requests by id, events.

A reader thread files responses by request id and keeps events in a list that
wait_event() searches, so an event that arrived before the wait began is not missed.
"""

import base64
import hashlib
import itertools
import json
import threading
import time

import websocket  # Debian's python3-websocket (websocket-client)

OP_HELLO, OP_IDENTIFY, OP_IDENTIFIED, OP_EVENT, OP_REQUEST, OP_RESPONSE = 0, 1, 2, 5, 6, 7
OP_BATCH, OP_BATCH_RESPONSE = 8, 9
SERIAL_FRAME = 1  # a batch's executionType: one request per video frame, on OBS's graphics thread
# Every event category except the high-volume ones (volume meters and the like).
EVENTS_ALL = (1 << 11) - 1
REQUEST_TIMEOUT = 15.0
NOT_READY = 207  # request status while OBS has not finished loading
POLL_SECONDS = 0.2


def auth_string(password, salt, challenge):
    """obs-websocket 5's answer to its challenge."""
    def b64_sha256(text):
        return base64.b64encode(hashlib.sha256(text.encode()).digest()).decode()
    return b64_sha256(b64_sha256(password + salt) + challenge)


class ObsRequestError(RuntimeError):
    def __init__(self, request_type, status):
        super().__init__("%s failed: code %s %s" % (request_type, status.get("code"), status.get("comment", "")))
        self.code = status.get("code")
        self.comment = status.get("comment")


class ObsWebSocket:
    def __init__(self, port, host="127.0.0.1", events=EVENTS_ALL, timeout=10.0, password=None):
        self._ws = websocket.create_connection("ws://%s:%d" % (host, port), timeout=timeout,
                                               subprotocols=["obswebsocket.json"])
        hello = self._receive()
        if hello.get("op") != OP_HELLO:
            raise ConnectionError("expected Hello, got %r" % hello)
        identify = {"rpcVersion": 1, "eventSubscriptions": events}
        if "authentication" in hello["d"]:
            if password is None:
                raise ConnectionError("the server asks for a password and none was given")
            identify["authentication"] = auth_string(password, **hello["d"]["authentication"])
        self._send(OP_IDENTIFY, identify)
        identified = self._receive()
        if identified.get("op") != OP_IDENTIFIED:
            raise ConnectionError("expected Identified, got %r" % identified)

        self._ids = itertools.count(1)
        self._lock = threading.Condition()
        self._responses = {}
        self._events = []
        self._closed = False
        self._ws.settimeout(POLL_SECONDS)
        self._reader = threading.Thread(target=self._read, name="obs-websocket-reader", daemon=True)
        self._reader.start()

    # --- wire -------------------------------------------------------------------------
    def _send(self, op, data):
        self._ws.send(json.dumps({"op": op, "d": data}))

    def _receive(self):
        return json.loads(self._ws.recv())

    def _read(self):
        while not self._closed:
            try:
                message = self._receive()
            except websocket.WebSocketTimeoutException:
                continue
            except (websocket.WebSocketException, OSError, ValueError):
                break
            with self._lock:
                if message.get("op") in (OP_RESPONSE, OP_BATCH_RESPONSE):
                    self._responses[message["d"]["requestId"]] = message["d"]
                elif message.get("op") == OP_EVENT:
                    message["d"]["receivedAt"] = time.time()  # for timing checks
                    self._events.append(message["d"])
                self._lock.notify_all()
        with self._lock:
            self._closed = True
            self._lock.notify_all()

    def close(self):
        with self._lock:
            self._closed = True
        self._reader.join(timeout=5)
        try:
            self._ws.close()
        except (websocket.WebSocketException, OSError):
            pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- requests ---------------------------------------------------------------------
    def program_scene(self):
        """The name of the scene on the program output."""
        return self.call("GetCurrentProgramScene")["currentProgramSceneName"]

    def call(self, request_type, data=None, timeout=REQUEST_TIMEOUT):
        """Sends one request and returns its responseData ({} when there is none)."""
        request_id = str(next(self._ids))
        request = {"requestType": request_type, "requestId": request_id}
        if data:
            request["requestData"] = data
        self._send(OP_REQUEST, request)
        response = self._wait_response(request_id, request_type, timeout)
        if not response["requestStatus"]["result"]:
            raise ObsRequestError(request_type, response["requestStatus"])
        return response.get("responseData") or {}

    def batch(self, requests, execution_type, timeout=REQUEST_TIMEOUT):
        """A RequestBatch of (requestType, requestData) pairs; returns its results in order."""
        request_id = str(next(self._ids))
        self._send(OP_BATCH, {"requestId": request_id, "executionType": execution_type,
                              "requests": [{"requestType": kind, "requestData": data} for kind, data in requests]})
        return self._wait_response(request_id, "RequestBatch", timeout)["results"]

    def _wait_response(self, request_id, request_type, timeout):
        deadline = time.monotonic() + timeout
        with self._lock:
            while request_id not in self._responses:
                if self._closed:
                    raise ConnectionError("connection closed before %s answered" % request_type)
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError("%s got no answer within %.1f s" % (request_type, timeout))
                self._lock.wait(left)
            return self._responses.pop(request_id)

    def trigger_hotkey(self, name):
        """Presses the first hotkey of that name (obs-websocket 5.1 sends no release)."""
        return self.call("TriggerHotkeyByName", {"hotkeyName": name})

    def vendor(self, vendor_name, request_type, data=None, timeout=REQUEST_TIMEOUT):
        """A plug-in's own request; returns the plug-in's answer."""
        request = {"vendorName": vendor_name, "requestType": request_type}
        if data:  # obs-websocket 5.1 refuses an empty requestData object
            request["requestData"] = data
        return self.call("CallVendorRequest", request, timeout).get("responseData") or {}

    def wait_vendor(self, vendor_name, request_type, data=None, timeout=30.0, accept=lambda answer: True):
        """Calls a vendor request until the vendor answers with an answer `accept` takes, and
        returns that answer. Newer obs-websocket takes requests before OBS finished loading
        (status 207), and a vendor may answer before its plug-in has heard that OBS has
        loaded, so an open port does not mean the vendor is ready yet."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                answer = self.vendor(vendor_name, request_type, data)
                if accept(answer) or time.monotonic() > deadline:
                    return answer
            except ObsRequestError:
                if time.monotonic() > deadline:
                    raise
            time.sleep(POLL_SECONDS)

    # --- events -----------------------------------------------------------------------
    def wait_event(self, event_type, predicate=None, timeout=10.0):
        """Takes the first event of that type (already received or coming) that satisfies
        predicate(eventData); raises TimeoutError when none comes in time."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while True:
                for index, event in enumerate(self._events):
                    data = event.get("eventData") or {}
                    if event["eventType"] == event_type and (predicate is None or predicate(data)):
                        del self._events[index]
                        return data
                left = deadline - time.monotonic()
                if self._closed or left <= 0:
                    raise TimeoutError("no %s event within %.1f s" % (event_type, timeout))
                self._lock.wait(left)

    def take_events(self, event_type):
        """Takes every event of that type received so far, oldest first; each keeps the
        time it arrived in "receivedAt"."""
        with self._lock:
            taken = [event for event in self._events if event["eventType"] == event_type]
            self._events = [event for event in self._events if event["eventType"] != event_type]
        return taken

    def clear_events(self):
        with self._lock:
            self._events.clear()
