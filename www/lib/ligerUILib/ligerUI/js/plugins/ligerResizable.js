/*
 * Resizable: adds a grip to the bottom-right corner of a box with which the
 * user can change its width and height, not below the given minimum.
 *
 *   kui.resizable($dialog, {minWidth: 260, minHeight: 120});
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    kui.resizable = function ($box, options) {
        options = $.extend({ minWidth: 200, minHeight: 100 }, options);
        var $grip = kui.el('div', { cls: 'kui-resize-grip', title: '' });
        $box.append($grip);
        $grip.on('mousedown', function (e) {
            if (e.which !== 1) return;
            e.preventDefault();
            var w = $box.outerWidth(), h = $box.outerHeight(), x = e.pageX, y = e.pageY;
            $(document).on('mousemove.kuiresize', function (ev) {
                $box.css({
                    width: Math.max(options.minWidth, w + ev.pageX - x),
                    height: Math.max(options.minHeight, h + ev.pageY - y)
                });
                $box.trigger('kui-resized');
            }).on('mouseup.kuiresize', function () { $(document).off('.kuiresize'); });
        });
        return $grip;
    };
})(window, jQuery);
