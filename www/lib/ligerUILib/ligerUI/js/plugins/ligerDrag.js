/*
 * Drag: lets the user move a fixed-position box (a dialog) by dragging one of
 * its parts (the title bar). The box is kept inside the window.
 *
 *   kui.draggable($dialog, $dialog.find('.kui-dialog-title'));
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    kui.draggable = function ($box, $handle) {
        $handle.addClass('kui-drag-handle').on('mousedown', function (e) {
            if (e.which !== 1 || $(e.target).is('button, input, select, a')) return;
            e.preventDefault();
            var start = $box.offset();
            var scroll = { x: $(window).scrollLeft(), y: $(window).scrollTop() };
            var dx = e.pageX - start.left, dy = e.pageY - start.top;
            $box.addClass('kui-dragging');
            $(document).on('mousemove.kuidrag', function (ev) {
                var maxX = $(window).width() - 40, maxY = $(window).height() - 30;
                var x = Math.min(Math.max(ev.pageX - dx - scroll.x, 0), maxX);
                var y = Math.min(Math.max(ev.pageY - dy - scroll.y, 0), maxY);
                $box.css({ left: x, top: y, margin: 0 });
            }).on('mouseup.kuidrag', function () {
                $(document).off('.kuidrag');
                $box.removeClass('kui-dragging');
            });
        });
    };
})(window, jQuery);
