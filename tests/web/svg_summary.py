#!/usr/bin/env python3
"""What an SVG of a frame draws, read by a real XML parser: one line per kind of element
and style (tag, stroke, stroke width, dash array, fill), with its count, and one line per
caption with its colour and text. Positions are left out: a page places its vertices in
single precision.

    svg_summary.py FILE.svg
"""
import collections
import sys
import xml.etree.ElementTree as ElementTree

NS = '{http://www.w3.org/2000/svg}'

counts = collections.Counter()
for element in ElementTree.parse(sys.argv[1]).getroot().iter():
    tag = element.tag.replace(NS, '')
    if tag == 'svg':
        continue
    style = ' '.join('%s=%s' % (name, element.get(name)) for name in
                     ('stroke', 'stroke-width', 'stroke-dasharray', 'fill') if element.get(name) is not None)
    if tag == 'text':
        style += ' text=' + (element.text or '')
    counts[tag + ' ' + style] += 1
for line, count in sorted(counts.items()):
    print(count, line)
