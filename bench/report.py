"""The benchmark's one table: what was measured, the result, the goal and the verdict."""
import math


class Table:
    def __init__(self):
        self.rows = []

    def section(self, title):
        self.rows.append((title, None, None, None))

    def row(self, measure, result, goal="", met=None):
        """met: True or False against the goal, None where there is none."""
        verdict = "" if met is None else ("met" if met else "MISSED")
        self.rows.append((measure, result, goal, verdict))

    def render(self):
        header = ("measure", "result", "goal", "verdict")
        body = [r for r in self.rows if r[1] is not None]
        widths = [max(len(str(r[i])) for r in [header, *body]) for i in range(4)]
        line = "  ".join("-" * w for w in widths)
        out = ["  ".join(h.ljust(w) for h, w in zip(header, widths)), line]
        for row in self.rows:
            if row[1] is None:
                out.append(row[0])
            else:
                out.append("  ".join(str(c).ljust(w) for c, w in zip(row, widths)).rstrip())
        return "\n".join(out)


def log_log_slope(sizes, costs):
    """The least-squares slope of log(total time) against log(size): 1 for linear work,
    2 for quadratic, below 1 where a fixed cost still weighs on the small sizes."""
    xs = [math.log(s) for s in sizes]
    ys = [math.log(c * s) for s, c in zip(sizes, costs)]
    mx, my = sum(xs) / len(xs), sum(ys) / len(ys)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)


def size_label(size):
    for unit, scale in (("MB", 1_000_000), ("KB", 1000)):
        if size >= scale:
            return f"{size / scale:g} {unit}"
    return f"{size} B"
