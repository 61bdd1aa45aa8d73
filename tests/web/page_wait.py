"""Polling a page's script until it answers, for both browser drivers."""
import time


def first_truthy(evaluate, expression, timeout, interval, error):
    """The first truthy value of evaluate(expression), tried every `interval`
    seconds; raises `error` once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        value = evaluate(expression)
        if value:
            return value
        if time.monotonic() > deadline:
            raise error("timed out waiting for: %s" % expression)
        time.sleep(interval)
