"""The checker every packaging test reports through: each expectation that fails is kept, and
the test ends with one FAIL line for each, or one PASS line when there were none."""


class Problems:
    def __init__(self):
        self.items = []

    def expect(self, condition, message):
        """Keeps message when condition is false; returns condition."""
        if not condition:
            self.items.append(message)
        return condition

    def report(self, what):
        """Prints the problems, or PASS and what was checked; returns the exit status."""
        for item in self.items:
            print("FAIL: %s" % item)
        if not self.items:
            print("PASS: %s" % what)
        return 1 if self.items else 0
